// Importing the games of other stores (library/stores.h) into data.db as
// ordinary rows with copies of their art, and the "导入游戏平台..." action that
// lets the user choose the stores.
#pragma once

#include <ctime>
#include <string>
#include <vector>

#include "library/import.h"
#include "library/stores.h"

namespace ludexa {

// How many of the store's games the library does not hold yet.
int countNewGames(const StoreLibrary& store, const std::set<GameKey>& known);

// The check box text of a store in the choice dialog: its new games, or why
// its files could not be read.
std::string storeChoiceLabel(const StoreLibrary& store, int newGames);

// Pictures copied from a store's cache are at most this large.
inline constexpr std::size_t kMaxStorePictureBytes = 16u << 20;
// And a game gets at most this many of them.
inline constexpr std::size_t kMaxStorePictures = 4;

// Copies the pictures (regular files only, each within the bound, in their
// order) into mediaRootPath + name + "/" as "store-1.jpg", "store-2.png" ...,
// which the picture list sorts in the same order, when that folder has no
// picture yet; the folders are made as needed. The format is taken from the
// file's first bytes: caches name their files by hash, without extension.
// Returns how many were copied.
int copyStorePictures(const std::vector<std::string>& pictures, const std::string& mediaRootPath,
                      const std::string& name);

// Stores the games that are not in the library yet (same exe_path and
// launch_args) with their icons as PNG, in one transaction, copies their art
// into their picture folders under `mediaRootPath`, and returns them. A
// game's date added is when its store installed it, else `now`. When data.db
// refuses the write nothing is stored and the refusal is returned. Touches no
// texture, so it may run on a worker thread.
StoredGames importStoreGames(const std::vector<StoreGame>& games, const std::string& databasePath,
                             const std::string& mediaRootPath, IconLoader& icons, std::time_t now);

}  // namespace ludexa
