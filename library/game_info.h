// One game of the library: a row of the games table plus its decoded icon.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "library/name_keys.h"

namespace ludexa {

struct GameInfo {
    std::int64_t id = 0;  // SQLite rowids are 64-bit; a narrower id would name another row
    std::string name;
    std::string exe_path;
    std::string folder_path;
    std::string category;  // category names joined by "|"
    // The icon itself is decoded on demand and kept by the launcher's icon
    // cache (library/icon_cache.h), keyed by `id`.
    bool hasIconBlob = false;  // the row holds a non-empty icon blob
    bool hasIcon = false;      // that blob decoded into a picture (known once it was decoded)
    std::string created_at;   // "YYYY-MM-DD HH:MM:SS", local time
    std::string last_played;  // same form; empty until the first launch
    int play_count = 0;
    std::string launch_args;
    std::string save_dir;
    std::int64_t game_size = 0;  // bytes; 0 = not counted
    bool is_favorite = false;
    // Totals of the game's rows in the play_sessions table (not columns of games).
    std::int64_t play_seconds = 0;
    int play_sessions = 0;
    // Search and sort keys derived from `name` (library/name_keys.h); they
    // follow the name by themselves, so code that renames needs no extra step.
    mutable NameKeys nameKeys;
};

// The pieces of a category field: split at every "|", empty pieces dropped.
std::vector<std::string> splitCategories(std::string_view field);
// Whether the field names `category` as one whole "|"-separated entry.
bool hasCategory(std::string_view field, std::string_view category);

// The games table of the database at `path`, in id order. Icon blobs are not
// read here: only whether a row has one. An unreadable file or table gives an
// empty list. Creates the start indexes first when they are missing.
std::vector<GameInfo> loadGames(const std::string& path);

// The start reads every column but the icon. `games` keeps its columns after
// the icon blob, so a scan of the table walks every icon's overflow pages: the
// whole file. Two indexes beside the table let the start read none of them:
// one holding every column the start lists (the start query is answered from
// it alone), and a partial one listing the ids of the rows with an icon. They
// change nothing for other programs reading or writing data.db; SQLite keeps
// them up to date on every write, whoever writes.
inline constexpr const char* kCreateStartIndexes =
    "CREATE INDEX IF NOT EXISTS games_start_columns ON games(id, name, exe_path, folder_path, category, "
    "created_at, last_played, play_count, launch_args, save_dir, game_size, is_favorite);"
    "CREATE INDEX IF NOT EXISTS games_with_icon ON games(id) WHERE length(icon) > 0;";
inline constexpr const char* kStartQuery =
    "SELECT id, name, exe_path, folder_path, category, created_at, last_played, play_count, launch_args, "
    "save_dir, game_size, is_favorite FROM games ORDER BY id";
inline constexpr const char* kIconIdsQuery = "SELECT id FROM games WHERE length(icon) > 0 ORDER BY id";

// Creates the start indexes in the database at `path` when they are missing.
// False when that could not happen (a read-only file, a file another program
// holds for writing, no games table): the start then reads the table itself,
// slower but with the same result, and the next start tries again.
bool ensureStartIndexes(const std::string& path);

}  // namespace ludexa
