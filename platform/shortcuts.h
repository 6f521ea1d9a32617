// Shortcut files as the import sees them: freedesktop launchers (.desktop)
// and Windows shell links (.lnk), each read into the plain fields of a game
// record. Nothing here touches the database or the game list.
#pragma once

#include <cstdint>
#include <ctime>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/icons.h"

namespace ludexa {

struct Shortcut {
    std::string name;         // UTF-8, never empty
    std::string exe_path;     // never empty
    std::string launch_args;  // re-quoted so that a shell-style split gives the words back
    std::string folder_path;  // no trailing separator; empty when the target has no folder
    std::vector<IconSource> icons;  // in order of preference
    std::time_t modified = 0;       // the shortcut file's last-write time
    std::vector<std::string> categories;  // a .desktop entry's Categories ("Game", "ArcadeGame", ...)
};

// Larger files are not shortcuts and are skipped unread.
inline constexpr std::size_t kMaxShortcutBytes = 1024 * 1024;

// The *.desktop and *.lnk files directly inside `folder` (extension in any
// case), as full paths in file-name order. Sub-folders are not entered, and
// anything that is not a regular file (a folder named "x.lnk", a FIFO, a
// dangling link) is left out.
std::vector<std::string> listShortcutFiles(const std::string& folder);

// Reads one shortcut file; nullopt when it is unreadable, too large,
// malformed, of another kind, or has no target. A .desktop entry is read only
// when a desktop menu would list it: not Hidden or NoDisplay, shown in the
// running desktop (OnlyShowIn/NotShowIn), its TryExec program installed.
// A Terminal=true entry becomes its command after "x-terminal-emulator -e".
// `skipped`, when given, receives a short English word naming why a .desktop
// entry gave nothing ("NoDisplay", "TryExec", ...).
std::optional<Shortcut> readShortcut(const std::string& path, std::string* skipped = nullptr);

// The same for contents already in memory; `fileName` (without folder) gives
// the fallback name. `modified` is left 0.
std::optional<Shortcut> parseDesktopEntry(std::string_view contents, std::string_view fileName,
                                          std::string* skipped = nullptr);
std::optional<Shortcut> parseLnk(std::span<const std::uint8_t> contents, std::string_view fileName);
// Whether every size and offset a .lnk file declares lies inside the file and
// its blocks; parseLnk checks this before liblnk, which trusts them, sees it.
bool lnkLayoutIsSound(std::span<const std::uint8_t> contents);

// A launcher file as a desktop shows it, whatever a menu would do with it:
// the name in the program's own language, Simplified Chinese (Name[zh_CN],
// Name[zh]), else the entry's plain Name; and its Icon (a name in the icon
// theme, or a picture file). nullopt when the file is no desktop entry or
// has no name; a .lnk keeps its file name as on Windows.
struct LauncherFace {
    std::string name;               // never empty
    std::vector<IconSource> icons;  // in order of preference
};
std::optional<LauncherFace> parseLauncherFace(std::string_view contents);
std::optional<LauncherFace> readLauncherFace(const std::string& path);

// An Exec value (after the key file's own escapes are undone) split into
// words with the Desktop Entry quoting rules; field codes such as %U are
// dropped and "%%" becomes "%". nullopt for broken quoting.
std::optional<std::vector<std::string>> splitExec(std::string_view exec);
// Joins words into one argument string; words with spaces, quotes or other
// special characters are quoted so that a shell-style split restores them.
std::string joinArguments(const std::vector<std::string>& words);
// The inverse of joinArguments (shell-style quoting); nullopt for broken quoting.
std::optional<std::vector<std::string>> splitArguments(std::string_view arguments);

}  // namespace ludexa
