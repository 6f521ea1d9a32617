// Importing the games of other stores (library/stores.h) into data.db as
// ordinary rows, and the "导入游戏平台..." action that lets the user choose
// the stores.
#pragma once

#include <ctime>
#include <string>
#include <vector>

#include "library/import.h"
#include "library/stores.h"

namespace ludexa {

// How many of the store's games the library does not hold yet.
int countNewGames(const StoreLibrary& store, const std::set<GameKey>& known);

// The check box text of a store in the choice dialog.
std::string storeChoiceLabel(const StoreLibrary& store, int newGames);

// Stores the games that are not in the library yet (same exe_path and empty
// launch_args) with their icons as PNG, in one transaction, and returns them
// (or, when data.db refuses the write, none and why).
// A game's date added is when its store installed it, else `now`. Touches no
// texture, so it may run on a worker thread.
StoredGames importStoreGames(const std::vector<StoreGame>& games, const std::string& databasePath, IconLoader& icons,
                             std::time_t now);

}  // namespace ludexa
