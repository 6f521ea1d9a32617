// Importing a folder of shortcuts (.desktop and .lnk) into the library: one
// new row of data.db and one new record per shortcut whose program and
// arguments are not in the library yet.
#pragma once

#include <ctime>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "library/game_info.h"
#include "platform/icons.h"

namespace ludexa {

struct ImportedGame {
    GameInfo info;  // as stored, with the id SQLite gave it; its texture is not made yet
    std::shared_ptr<const std::vector<unsigned char>> iconPng;  // the stored PNG bytes, or null
};

using GameKey = std::pair<std::string, std::string>;  // exe_path, launch_args

// The (exe_path, launch_args) pairs of the library at `databasePath`; nullopt
// when it cannot be read.
std::optional<std::set<GameKey>> libraryKeys(const std::string& databasePath);

// Writes the candidates that are not in the library yet (nor earlier in the
// list) in one transaction and returns them with their new ids; when the
// database refuses the write, nothing is stored, the result is empty and
// `failure` (when given) gets SQLite's result code.
std::vector<ImportedGame> storeNewGames(const std::string& databasePath, std::vector<ImportedGame> candidates,
                                        int* failure = nullptr);

// A time as the library stores dates: "YYYY-MM-DD HH:MM:SS", local time.
std::string localTimeText(std::time_t time);

// Imports the shortcuts directly inside `folder` into the database at
// `databasePath` and returns the new records in file-name order. A shortcut
// is already in the library when a row has the same exe_path and the same
// launch_args: one program (steam, lutris, an emulator) starts many games.
// Unreadable, malformed and targetless files are skipped; the rest are
// written in one transaction, so either all of them are stored and returned
// or, when the database refuses the write, none. Touches no texture, so it
// may run on a worker thread.
std::vector<ImportedGame> importShortcutFolder(const std::string& folder, const std::string& databasePath,
                                               IconLoader& icons);

// Appends the records to `games`, decoding each icon into its texture (so
// this runs on the main thread); returns how many were appended.
int appendImportedGames(std::vector<GameInfo>& games, std::vector<ImportedGame> imported);

}  // namespace ludexa
