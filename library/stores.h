// The games other stores have installed: Steam (native and Flatpak), Lutris
// and Heroic (Epic through Legendary, GOG, Amazon through Nile, and games the
// user side-loaded). Each reader is a plain function over a home folder, reads
// only the store's own files and changes nothing; a game is launched through
// the store's URI, which the desktop hands to the store.
#pragma once

#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include "platform/icons.h"

namespace ludexa {

struct StoreGame {
    std::string name;
    std::string exe_path;     // the launch URI
    std::string folder_path;  // the install folder
    std::time_t installed = 0;  // when the store installed or last updated it; 0: unknown
    std::vector<IconSource> icons;  // existing picture files, the best first
};

enum class StoreKind { Steam, Lutris, Heroic };

struct StoreLibrary {
    StoreKind kind = StoreKind::Steam;
    std::string label;             // "Steam", "Lutris", "Heroic"
    std::vector<StoreGame> games;  // installed games, each launch URI once
};

// Each reader gives nullopt when the store is not installed under `home`, and
// a library (possibly without games) when it is.
std::optional<StoreLibrary> readSteam(const std::string& home);
std::optional<StoreLibrary> readLutris(const std::string& home);
std::optional<StoreLibrary> readHeroic(const std::string& home);

// The stores installed under `home`, in the order Steam, Lutris, Heroic.
std::vector<StoreLibrary> findStores(const std::string& home);

// Steam installs its runtimes and compatibility tools like games; these are
// not games. Known app ids, and for later versions the names Valve gives them.
bool isSteamTool(std::string_view appId, std::string_view name);

}  // namespace ludexa
