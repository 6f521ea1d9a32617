// Program start-up through GLib and GIO: argv vectors, never a shell string.
#include "platform/shell.h"

#include <gio/gdesktopappinfo.h>
#include <gio/gio.h>
#include <glib.h>
#include <sys/stat.h>
#include <unistd.h>

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
    std::unique_ptr<GError, ErrorDeleter> errorOwner(error);
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

bool spawnDetached(const std::vector<std::string>& argv, const std::string& workingDirectory, int* pid) {
    if (argv.empty()) return false;
    std::vector<gchar*> raw;
    for (const auto& a : argv) raw.push_back(const_cast<gchar*>(a.c_str()));
    raw.push_back(nullptr);
    GError* error = nullptr;
    // Detached: GLib double-forks, so the game outlives us and leaves no zombie.
    const auto flags = static_cast<GSpawnFlags>(G_SPAWN_STDOUT_TO_DEV_NULL | G_SPAWN_STDERR_TO_DEV_NULL |
                                                G_SPAWN_STDIN_FROM_DEV_NULL);
    // The pid reported is the game's own (the grandchild), not the
    // intermediate process that exits at once.
    GPid child = 0;
    const bool ok = g_spawn_async(workingDirectory.empty() ? nullptr : workingDirectory.c_str(), raw.data(), nullptr,
                                  flags, nullptr, nullptr, &child, &error);
    std::unique_ptr<GError, ErrorDeleter> errorOwner(error);
    if (pid != nullptr) *pid = ok ? static_cast<int>(child) : 0;
    return ok;
}

bool launchDesktopEntry(const std::string& path, int* pid) {
    if (pid != nullptr) *pid = 0;
    std::unique_ptr<GDesktopAppInfo, ObjectDeleter> info(g_desktop_app_info_new_from_filename(path.c_str()));
    if (!info) return false;
    GError* error = nullptr;
    // As g_app_info_launch does it, with the started pid reported back.
    const auto reportPid = [](GDesktopAppInfo*, GPid started, gpointer target) {
        if (target != nullptr) *static_cast<int*>(target) = static_cast<int>(started);
    };
    const bool ok = g_desktop_app_info_launch_uris_as_manager(info.get(), nullptr, nullptr, G_SPAWN_SEARCH_PATH, nullptr,
                                                              nullptr, reportPid, pid, &error);
    std::unique_ptr<GError, ErrorDeleter> errorOwner(error);
    return ok;
}

bool openWithDefaultHandler(const std::string& pathOrUri) {
    std::unique_ptr<gchar, GFreeDeleter> scheme(g_uri_parse_scheme(pathOrUri.c_str()));
    std::string uri = pathOrUri;
    if (!scheme) {
        std::unique_ptr<GFile, ObjectDeleter> file(g_file_new_for_path(pathOrUri.c_str()));
        std::unique_ptr<gchar, GFreeDeleter> fileUri(g_file_get_uri(file.get()));
        uri = fileUri.get();
    }
    GError* error = nullptr;
    const bool ok = g_app_info_launch_default_for_uri(uri.c_str(), nullptr, &error);
    std::unique_ptr<GError, ErrorDeleter> errorOwner(error);
    return ok;
}

}  // namespace ludexa
