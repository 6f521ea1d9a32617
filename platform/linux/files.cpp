// Bounded reads of regular files: opened without blocking, checked through the
// open descriptor (so a file swapped for a FIFO after a stat cannot slip by).
#include "platform/files.h"
#include "platform/linux/unique_fd.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace ludexa {
namespace {

ssize_t readSome(int fd, void* buffer, std::size_t size) {
    for (;;) {
        const ssize_t n = ::read(fd, buffer, size);
        if (n >= 0 || errno != EINTR) return n;
    }
}

template <class Buffer>
FileRead readInto(const std::string& path, std::size_t maxBytes, Buffer& out) {
    out.clear();
    UniqueFd file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (file.get() < 0) return FileRead::Refused;
    struct stat st {};
    if (::fstat(file.get(), &st) != 0 || !S_ISREG(st.st_mode)) return FileRead::Refused;

    // The size is a hint only: the file may grow or shrink while it is read.
    std::size_t capacity = std::min(maxBytes, static_cast<std::size_t>(std::max<off_t>(st.st_size, 0)));
    out.resize(capacity);
    std::size_t filled = 0;
    for (;;) {
        if (filled == out.size()) {
            if (filled >= maxBytes) break;
            out.resize(std::min(maxBytes, std::max<std::size_t>(filled * 2, 65536)));
        }
        const ssize_t n = readSome(file.get(), out.data() + filled, out.size() - filled);
        if (n < 0) {
            out.clear();
            return FileRead::Refused;
        }
        if (n == 0) {
            out.resize(filled);
            return FileRead::Whole;
        }
        filled += static_cast<std::size_t>(n);
    }
    char probe = 0;
    return readSome(file.get(), &probe, 1) > 0 ? FileRead::Truncated : FileRead::Whole;
}

template <class Buffer>
bool readWhole(const std::string& path, std::size_t maxBytes, Buffer& out) {
    if (readInto(path, maxBytes, out) == FileRead::Whole) return true;
    Buffer().swap(out);
    return false;
}

}  // namespace

FileRead readRegularFile(const std::string& path, std::size_t maxBytes, std::string& out) {
    return readInto(path, maxBytes, out);
}
FileRead readRegularFile(const std::string& path, std::size_t maxBytes, std::vector<std::uint8_t>& out) {
    return readInto(path, maxBytes, out);
}
bool readWholeRegularFile(const std::string& path, std::size_t maxBytes, std::string& out) {
    return readWhole(path, maxBytes, out);
}
bool readWholeRegularFile(const std::string& path, std::size_t maxBytes, std::vector<std::uint8_t>& out) {
    return readWhole(path, maxBytes, out);
}

}  // namespace ludexa
