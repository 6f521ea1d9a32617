// The user's desktop folder through GLib's XDG lookup.
#include <dirent.h>
#include <glib.h>

#include <memory>

#include "platform/paths.h"

namespace ludexa {

std::string userDesktopDirectory() {
    const gchar* dir = g_get_user_special_dir(G_USER_DIRECTORY_DESKTOP);
    return dir ? std::string(dir) : std::string();
}

std::string userHomeDirectory() {
    // GLib honours $HOME first, so a user (or a test) can point it elsewhere.
    const gchar* dir = g_get_home_dir();
    return dir ? std::string(dir) : std::string();
}

std::vector<std::string> listVisibleEntries(const std::string& folder) {
    std::vector<std::string> names;
    struct Closer {
        void operator()(DIR* d) const { closedir(d); }
    };
    std::unique_ptr<DIR, Closer> dir(opendir(folder.c_str()));
    if (!dir) return names;
    while (const dirent* entry = readdir(dir.get())) {
        if (entry->d_name[0] == '.') continue;  // ".", ".." and hidden files
        names.emplace_back(entry->d_name);
    }
    return names;
}

}  // namespace ludexa
