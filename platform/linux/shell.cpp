// Program start-up through GLib and GIO: argv vectors, never a shell string.
// Every way of starting something reports whether it happened and, when it
// did not, why, in words the user can act on.
#include "platform/shell.h"
#include "platform/linux/unique_fd.h"

#include <dirent.h>
#include <fcntl.h>
#include <gio/gdesktopappinfo.h>
#include <gio/gio.h>
#include <glib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <memory>

namespace ludexa {
namespace {

struct GFreeDeleter {
    void operator()(void* p) const { g_free(p); }
};
struct StrvDeleter {
    void operator()(gchar** v) const { g_strfreev(v); }
};
struct ObjectDeleter {
    void operator()(gpointer o) const {
        if (o) g_object_unref(o);
    }
};
struct ErrorDeleter {
    void operator()(GError* e) const {
        if (e) g_error_free(e);
    }
};
using ErrorPtr = std::unique_ptr<GError, ErrorDeleter>;


StartResult failed(std::string reason) {
    StartResult r;
    r.error = std::move(reason);
    return r;
}

// The reason a program could not be started, from GLib's spawn error.
std::string spawnFailureReason(const GError* error) {
    if (error != nullptr && error->domain == G_SPAWN_ERROR) {
        switch (error->code) {
            case G_SPAWN_ERROR_NOENT: return "找不到程序文件。";
            case G_SPAWN_ERROR_ACCES:
            case G_SPAWN_ERROR_PERM: return "没有运行这个程序的权限。";
            case G_SPAWN_ERROR_CHDIR: return "无法进入游戏的工作文件夹。";
            case G_SPAWN_ERROR_NOEXEC:
            case G_SPAWN_ERROR_INVAL: return "这个文件不是能在本系统上运行的程序。";
            case G_SPAWN_ERROR_NOMEM: return "内存不足，无法启动程序。";
            default: break;
        }
    }
    return "系统无法启动这个程序。";
}

// GIO refuses an entry without saying why; the usual reason is a program
// that is not installed, which the user should hear as such.
std::string whyEntryCannotStart(const std::string& path) {
    std::unique_ptr<GKeyFile, void (*)(GKeyFile*)> keys(g_key_file_new(), g_key_file_free);
    if (g_key_file_load_from_file(keys.get(), path.c_str(), G_KEY_FILE_NONE, nullptr)) {
        for (const char* key : {G_KEY_FILE_DESKTOP_KEY_TRY_EXEC, G_KEY_FILE_DESKTOP_KEY_EXEC}) {
            std::unique_ptr<gchar, GFreeDeleter> value(
                g_key_file_get_string(keys.get(), G_KEY_FILE_DESKTOP_GROUP, key, nullptr));
            gchar** argv = nullptr;
            if (!value || !g_shell_parse_argv(value.get(), nullptr, &argv, nullptr)) continue;
            std::unique_ptr<gchar*, StrvDeleter> owned(argv);
            std::unique_ptr<gchar, GFreeDeleter> found(g_find_program_in_path(argv[0]));
            if (!found) return "找不到程序文件。";
        }
    }
    return "这个快捷方式无法启动：它不是应用程序，或者内容有误。";
}

void rememberPid(GDesktopAppInfo*, GPid pid, gpointer data) { *static_cast<int*>(data) = static_cast<int>(pid); }

}  // namespace

std::optional<std::vector<std::string>> splitShellArguments(const std::string& args) {
    std::vector<std::string> out;
    bool blank = true;
    for (char c : args)
        if (!g_ascii_isspace(c)) blank = false;
    if (blank) return out;
    gint argc = 0;
    gchar** raw = nullptr;
    GError* error = nullptr;
    const bool ok = g_shell_parse_argv(args.c_str(), &argc, &raw, &error);
    ErrorPtr errorOwner(error);
    std::unique_ptr<gchar*, StrvDeleter> argv(raw);
    if (!ok) return std::nullopt;
    for (gint i = 0; i < argc; ++i) out.emplace_back(raw[i]);
    return out;
}

bool isExecutableFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

std::string findProgram(const std::string& nameOrPath) {
    if (nameOrPath.empty()) return {};
    if (nameOrPath.find('/') != std::string::npos) return isExecutableFile(nameOrPath) ? nameOrPath : std::string();
    std::unique_ptr<gchar, GFreeDeleter> found(g_find_program_in_path(nameOrPath.c_str()));
    return found ? std::string(found.get()) : std::string();
}

FileKind classifyFile(const std::string& path) {
    struct stat st {};
    if (path.empty() || ::stat(path.c_str(), &st) != 0) return FileKind::Missing;
    if (S_ISDIR(st.st_mode)) return FileKind::Directory;
    if (!S_ISREG(st.st_mode)) return FileKind::Document;
    if (::access(path.c_str(), X_OK) == 0) return FileKind::Executable;
    // A program that lost its execute bit (unpacked from an archive, copied
    // from a FAT stick) must say so rather than open in a text editor.
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    unsigned char head[4] = {};
    if (fd.get() >= 0 && ::read(fd.get(), head, sizeof head) >= 2) {
        if (head[0] == '#' && head[1] == '!') return FileKind::ProgramNotAllowed;
        if (head[0] == 0x7F && head[1] == 'E' && head[2] == 'L' && head[3] == 'F') return FileKind::ProgramNotAllowed;
    }
    return FileKind::Document;
}

StartResult spawnDetached(const std::vector<std::string>& argv, const std::string& workingDirectory) {
    if (argv.empty()) return failed("没有要启动的程序。");
    std::vector<gchar*> raw;
    for (const auto& a : argv) raw.push_back(const_cast<gchar*>(a.c_str()));
    raw.push_back(nullptr);
    GError* error = nullptr;
    GPid pid = 0;
    // Detached: GLib double-forks, so the game outlives us and leaves no
    // zombie; the pid it reports is the game's own. A failed exec comes back
    // through GLib's error pipe, so a missing program is never a success.
    const auto flags = static_cast<GSpawnFlags>(G_SPAWN_STDOUT_TO_DEV_NULL | G_SPAWN_STDERR_TO_DEV_NULL |
                                                G_SPAWN_STDIN_FROM_DEV_NULL);
    const bool ok = g_spawn_async(workingDirectory.empty() ? nullptr : workingDirectory.c_str(), raw.data(), nullptr,
                                  flags, nullptr, nullptr, &pid, &error);
    ErrorPtr errorOwner(error);
    if (!ok) return failed(spawnFailureReason(error));
    StartResult r;
    r.started = true;
    r.pid = static_cast<int>(pid);
    return r;
}

StartResult launchDesktopEntry(const std::string& path) {
    if (classifyFile(path) == FileKind::Missing) return failed("找不到快捷方式文件。");
    // Null also when the entry is malformed, is not an application, or its
    // TryExec program is not installed.
    std::unique_ptr<GDesktopAppInfo, ObjectDeleter> info(g_desktop_app_info_new_from_filename(path.c_str()));
    if (!info) return failed(whyEntryCannotStart(path));
    UniqueFd devNull(::open("/dev/null", O_RDWR | O_CLOEXEC));
    GError* error = nullptr;
    int pid = 0;
    const bool ok = g_desktop_app_info_launch_uris_as_manager_with_fds(
        info.get(), nullptr, nullptr, G_SPAWN_SEARCH_PATH, nullptr, nullptr, rememberPid, &pid, devNull.get(),
        devNull.get(), devNull.get(), &error);
    ErrorPtr errorOwner(error);
    if (!ok) {
        if (error != nullptr && error->domain == G_SPAWN_ERROR) return failed(spawnFailureReason(error));
        // GIO's own refusals: a Terminal=true entry on a system without any
        // terminal it knows, or an Exec line it cannot read.
        if (g_desktop_app_info_get_boolean(info.get(), G_KEY_FILE_DESKTOP_KEY_TERMINAL)) return failed(kNoTerminalReason);
        return failed("这个快捷方式无法启动：它的启动命令无效。");
    }
    StartResult r;
    r.started = true;
    r.pid = pid;
    return r;
}

StartResult openWithDefaultHandler(const std::string& pathOrUri) {
    std::unique_ptr<gchar, GFreeDeleter> scheme(g_uri_parse_scheme(pathOrUri.c_str()));
    std::string uri = pathOrUri;
    if (!scheme) {
        if (classifyFile(pathOrUri) == FileKind::Missing) return failed("找不到这个文件。");
        std::unique_ptr<GFile, ObjectDeleter> file(g_file_new_for_path(pathOrUri.c_str()));
        std::unique_ptr<gchar, GFreeDeleter> fileUri(g_file_get_uri(file.get()));
        uri = fileUri.get();
    }
    GError* error = nullptr;
    const bool ok = g_app_info_launch_default_for_uri(uri.c_str(), nullptr, &error);
    ErrorPtr errorOwner(error);
    if (!ok) {
        if (error != nullptr && error->domain == G_SPAWN_ERROR) return failed(spawnFailureReason(error));
        return failed("系统中没有可以打开它的程序。");
    }
    StartResult r;
    r.started = true;
    return r;
}

std::string winePrefix() {
    if (const char* prefix = std::getenv("WINEPREFIX"); prefix != nullptr && prefix[0] != '\0') return prefix;
    return std::string(g_get_home_dir()) + "/.wine";
}

std::string wineUnixPath(const std::string& windowsPath, const std::string& prefix) {
    if (windowsPath.size() < 2 || !g_ascii_isalpha(windowsPath[0]) || windowsPath[1] != ':') return {};
    if (windowsPath.size() > 2 && windowsPath[2] != '\\' && windowsPath[2] != '/') return {};  // "C:foo" is relative
    std::string path = prefix + "/dosdevices/" + static_cast<char>(g_ascii_tolower(windowsPath[0])) + ":";
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return {};

    std::size_t at = 2;
    while (at < windowsPath.size()) {
        const auto end = windowsPath.find_first_of("\\/", at);
        const std::string part = windowsPath.substr(at, end == std::string::npos ? std::string::npos : end - at);
        at = end == std::string::npos ? windowsPath.size() : end + 1;
        if (part.empty() || part == ".") continue;
        if (part == "..") return {};  // never climb out of the drive
        std::string next = path + "/" + part;
        if (::lstat(next.c_str(), &st) != 0) {
            // Not there as written: look for the same name in another case.
            std::unique_ptr<gchar, GFreeDeleter> wanted(g_utf8_casefold(part.c_str(), -1));
            DIR* dir = ::opendir(path.c_str());
            if (dir == nullptr) return {};
            next.clear();
            while (const dirent* entry = ::readdir(dir)) {
                std::unique_ptr<gchar, GFreeDeleter> name(g_utf8_casefold(entry->d_name, -1));
                if (name && wanted && std::string(name.get()) == wanted.get()) {
                    next = path + "/" + entry->d_name;
                    break;
                }
            }
            ::closedir(dir);
            if (next.empty()) return {};
        }
        path = std::move(next);
    }
    char resolved[PATH_MAX];
    if (::realpath(path.c_str(), resolved) == nullptr) return {};
    return resolved;
}

}  // namespace ludexa
