// A temporary folder of a test's own, removed with everything in it when the
// test ends, passed or failed (the destructor runs after a failed ASSERT too).
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

namespace ludexa::test {

class ScopedTempDir {
public:
    explicit ScopedTempDir(std::string_view label = "ludexa") {
        std::string pattern = (std::filesystem::temp_directory_path() / (std::string(label) + ".XXXXXX")).string();
        if (::mkdtemp(pattern.data())) path_ = pattern;
    }
    ~ScopedTempDir() {
        std::error_code ignored;
        if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
    }
    ScopedTempDir(const ScopedTempDir&) = delete;
    ScopedTempDir& operator=(const ScopedTempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // The path of a child of the folder, as a string.
    std::string operator/(std::string_view child) const { return (path_ / child).string(); }
    std::string file(std::string_view child) const { return *this / child; }

private:
    std::filesystem::path path_;
};

}  // namespace ludexa::test
