// Where the files live on Linux: the executable from /proc/self/exe, the
// user's data folder from the XDG variables.
#include "platform/paths.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
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

namespace {

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

// mkdir -p, for the few levels of ~/.local/share/ludexa.
void createFolders(const std::string& path) {
    for (std::size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1))
        (void)::mkdir(path.substr(0, slash).c_str(), 0700);
}

}  // namespace

std::string getDataDirectory() {
    static const std::string directory = [] {
        std::string home = environment("HOME");
        if (home.empty()) {
            if (const passwd* entry = ::getpwuid(::getuid())) home = entry->pw_dir ? entry->pw_dir : "";
        }
        auto chosen = chooseDataDirectory(getExeDirectory(), pathExists, environment("XDG_DATA_HOME"), home);
        if (chosen != getExeDirectory()) createFolders(chosen);
        return chosen;
    }();
    return directory;
}

std::string databasePath() { return getDataDirectory() + "data.db"; }
std::string settingsPath() { return getDataDirectory() + "set.ini"; }
std::string getBackgroundImagePath() { return getDataDirectory() + "ui.jpg"; }
std::string mediaRoot() { return getDataDirectory() + "media/"; }

bool pathExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

bool isDirectory(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace ludexa
