// An open file descriptor that closes with its owner, for the few places of
// the platform layer that work on descriptors rather than FILE* or GIO.
#pragma once

#include <unistd.h>

namespace ludexa {

class UniqueFd {
public:
    explicit UniqueFd(int fd = -1) : fd_(fd) {}
    ~UniqueFd() {
        if (fd_ >= 0) ::close(fd_);
    }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;

    int get() const { return fd_; }

private:
    int fd_;
};

}  // namespace ludexa
