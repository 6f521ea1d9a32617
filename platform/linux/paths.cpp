// Executable-relative paths on Linux, from /proc/self/exe.
#include "platform/paths.h"

#include <sys/stat.h>
#include <unistd.h>

#include <vector>

namespace ludexa {

std::string getExeDirectory() {
    std::vector<char> buffer(4096);
    ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
    if (n <= 0) return "./";
    std::string path(buffer.data(), static_cast<std::size_t>(n));
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(0, slash + 1);
}

std::string databasePath() { return getExeDirectory() + "data.db"; }
std::string getBackgroundImagePath() { return getExeDirectory() + "ui.jpg"; }
std::string mediaRoot() { return getExeDirectory() + "media/"; }

bool pathExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

bool isDirectory(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace ludexa
