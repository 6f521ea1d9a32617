// The games other stores have installed: Steam (native and Flatpak), Lutris
// and Heroic (Epic through Legendary, GOG, Amazon through Nile, and games the
// user side-loaded), and the games of the desktop's application menu. Each
// reader is a plain function over a home folder (or the menu's folders),
// reads only the store's own files and changes nothing; a store game is
// launched through the store's URI, which the desktop hands to the store.
#pragma once

#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include "platform/icons.h"

namespace ludexa {

struct StoreGame {
    std::string name;         // at most kMaxStoreNameBytes
    std::string exe_path;     // the launch URI (a menu game: its program)
    std::string launch_args;  // empty for store games
    std::string folder_path;  // the install folder
    std::time_t installed = 0;  // when the store installed or last updated it; 0: unknown
    std::vector<IconSource> icons;  // existing picture files, the best first
    std::vector<std::string> pictures;  // the store's cached art (cover, hero, header), the best first
};

enum class StoreKind { Steam, Lutris, Heroic, Menu };

struct StoreLibrary {
    StoreKind kind = StoreKind::Steam;
    std::string label;             // "Steam", "Lutris", "Heroic", "应用菜单中的游戏"
    std::vector<StoreGame> games;  // installed games, each launch URI once
    // Why some of the store's files could not be read ("数据库被占用",
    // "installed.json 无法解析"); empty when everything present was read.
    std::string problem;
};

// A store listing more games than this is cut there: no one has installed
// that many, and a crafted list must not take the memory and the time.
inline constexpr std::size_t kMaxStoreGames = 5000;
// Longer names are cut (at a whole character): a name also names the game's
// folder of pictures, and a file name holds at most 255 bytes.
inline constexpr std::size_t kMaxStoreNameBytes = 200;

// Each reader gives nullopt when the store is not installed under `home`, and
// a library (possibly without games) when it is.
std::optional<StoreLibrary> readSteam(const std::string& home);
std::optional<StoreLibrary> readLutris(const std::string& home);
std::optional<StoreLibrary> readHeroic(const std::string& home);

// The games of the application menu: the desktop entries of the
// `applications` folders under `dataDirs` (the first folder that has an
// entry's desktop id wins, as in a menu) that a menu shows and that are filed
// under the category Game. nullopt when none of the folders exists.
std::optional<StoreLibrary> readMenuGames(const std::vector<std::string>& dataDirs);

// The menu's data folders: $XDG_DATA_HOME (or ~/.local/share), then
// $XDG_DATA_DIRS (or /usr/local/share:/usr/share), then the folders Flatpak
// and Snap export their entries to, when the session did not name them.
std::vector<std::string> menuDataDirs(const std::string& home);

// The stores installed under `home`, in the order Steam, Lutris, Heroic,
// then the application menu's games from `menuDirs`.
std::vector<StoreLibrary> findStores(const std::string& home, const std::vector<std::string>& menuDirs = {});

// Steam installs its runtimes and compatibility tools like games; these are
// not games. Known app ids, and for later versions the names Valve gives them.
bool isSteamTool(std::string_view appId, std::string_view name);

}  // namespace ludexa
