// The process table from /proc: one stat file and two links per process.
#include "platform/processes.h"
#include "platform/linux/unique_fd.h"

#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/types.h>
#include <time.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string_view>

namespace ludexa {
namespace {

struct DirCloser {
    void operator()(DIR* d) const { closedir(d); }
};

std::string readLinkAt(int dirFd, const char* name) {
    char buffer[4096];
    const ssize_t n = ::readlinkat(dirFd, name, buffer, sizeof buffer - 1);
    if (n <= 0) return {};
    std::string path(buffer, static_cast<std::size_t>(n));
    // A program replaced on disk while it runs (an update) still is that program.
    constexpr std::string_view kDeleted = " (deleted)";
    if (path.size() > kDeleted.size() && path.ends_with(kDeleted)) path.resize(path.size() - kDeleted.size());
    return path;
}

// Reads /proc/<pid>/stat: false for a process that is gone or a zombie.
bool readStat(int dirFd, ProcessInfo& info, long ticksPerSecond) {
    const UniqueFd fd(::openat(dirFd, "stat", O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) return false;
    char buffer[1024];
    const ssize_t n = ::read(fd.get(), buffer, sizeof buffer - 1);
    if (n <= 0) return false;
    buffer[n] = '\0';
    // The command name sits in parentheses and may itself hold ")" and spaces:
    // the fields start after the last ")".
    const char* close = std::strrchr(buffer, ')');
    if (close == nullptr || close[1] != ' ') return false;
    const char* p = close + 2;
    const char state = *p;
    if (state == 'Z' || state == 'X' || state == 'x') return false;
    // Fields after the name: state (3), ppid (4), ..., starttime (22).
    int field = 3;
    unsigned long long startTicks = 0;
    while (*p != '\0' && field <= 22) {
        if (field == 4) info.parentPid = static_cast<int>(std::strtol(p, nullptr, 10));
        if (field == 22) startTicks = std::strtoull(p, nullptr, 10);
        while (*p != '\0' && *p != ' ') ++p;
        while (*p == ' ') ++p;
        ++field;
    }
    if (field <= 22) return false;
    info.startedMs = static_cast<std::int64_t>(startTicks * 1000ULL / static_cast<unsigned long long>(ticksPerSecond));
    return true;
}

// /proc/<pid>/cmdline: NUL-separated words. Only the start is read: the
// program and its first arguments are what tell a game.
std::vector<std::string> readArguments(int dirFd) {
    std::vector<std::string> words;
    const UniqueFd fd(::openat(dirFd, "cmdline", O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) return words;
    char buffer[8192];
    const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
    if (n <= 0) return words;
    std::string_view rest(buffer, static_cast<std::size_t>(n));
    while (!rest.empty()) {
        const auto end = rest.find('\0');
        words.emplace_back(rest.substr(0, end));
        if (end == std::string_view::npos) break;
        rest.remove_prefix(end + 1);
    }
    return words;
}

}  // namespace

std::vector<ProcessInfo> readProcessTable() {
    std::vector<ProcessInfo> table;
    const std::unique_ptr<DIR, DirCloser> proc(::opendir("/proc"));
    if (!proc) return table;
    long ticks = ::sysconf(_SC_CLK_TCK);
    if (ticks <= 0) ticks = 100;
    while (const dirent* entry = ::readdir(proc.get())) {
        char* end = nullptr;
        const long pid = std::strtol(entry->d_name, &end, 10);
        if (pid <= 0 || end == entry->d_name || *end != '\0') continue;
        const UniqueFd dir(::openat(::dirfd(proc.get()), entry->d_name, O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (dir.get() < 0) continue;
        ProcessInfo info;
        info.pid = static_cast<int>(pid);
        if (!readStat(dir.get(), info, ticks)) continue;
        info.executable = readLinkAt(dir.get(), "exe");
        info.workingFolder = readLinkAt(dir.get(), "cwd");
        info.arguments = readArguments(dir.get());
        table.push_back(std::move(info));
    }
    return table;
}

std::int64_t bootClockMs() {
    timespec now{};
    ::clock_gettime(CLOCK_BOOTTIME, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

int currentProcessId() { return static_cast<int>(::getpid()); }

std::string resolvedPath(const std::string& path) {
    if (path.empty() || path.front() != '/') return path;
    std::unique_ptr<char, decltype(&std::free)> real(::realpath(path.c_str(), nullptr), &std::free);
    return real ? std::string(real.get()) : path;
}

std::string userHomeFolder() {
    // From the password database: the program reads no environment variables.
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    if (size <= 0) size = 16384;
    std::string buffer(static_cast<std::size_t>(size), '\0');
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || found == nullptr ||
        found->pw_dir == nullptr)
        return {};
    std::string home = found->pw_dir;
    while (home.size() > 1 && home.back() == '/') home.pop_back();
    return home;
}

}  // namespace ludexa
