// Loading the library from data.db, and the category field format.
#include "library/game_info.h"

#include "app/GameLauncher.h"
#include "library/database.h"
#include "platform/paths.h"

namespace ludexa {

std::vector<std::string> splitCategories(std::string_view field) {
    std::vector<std::string> out;
    std::size_t start = 0;
    while (start <= field.size()) {
        const auto bar = field.find('|', start);
        const auto end = bar == std::string_view::npos ? field.size() : bar;
        if (end > start) out.emplace_back(field.substr(start, end - start));
        if (bar == std::string_view::npos) break;
        start = bar + 1;
    }
    return out;
}

bool hasCategory(std::string_view field, std::string_view category) {
    if (field == category) return true;
    if (category.empty()) return false;
    for (auto pos = field.find(category); pos != std::string_view::npos; pos = field.find(category, pos + 1)) {
        const bool startsEntry = pos == 0 || field[pos - 1] == '|';
        const auto after = pos + category.size();
        const bool endsEntry = after == field.size() || field[after] == '|';
        if (startsEntry && endsEntry) return true;
    }
    return false;
}

bool ensureStartIndexes(const std::string& path) {
    auto db = Database::open(path, false);
    if (!db) return false;
    // Another program writing to data.db must not hold up the start: without
    // the indexes the start is only slower, and the next one tries again.
    sqlite3_busy_timeout(db->handle(), 0);
    if (!db->exec("BEGIN IMMEDIATE")) return false;
    if (!db->exec(kCreateStartIndexes)) {
        (void)db->exec("ROLLBACK");
        return false;
    }
    return db->exec("COMMIT");
}

std::vector<GameInfo> loadGames(const std::string& path) {
    std::vector<GameInfo> games;
    (void)ensureStartIndexes(path);
    // Opened without the create flag: a missing file is not made here.
    auto db = Database::open(path, false);
    if (!db) return games;
    auto stmt = db->prepare(kStartQuery);
    if (!stmt) return games;
    while (stmt->step() == SQLITE_ROW) {
        GameInfo g;
        g.id = stmt->columnInt64(0);
        g.name = stmt->columnText(1);
        g.exe_path = stmt->columnText(2);
        g.folder_path = stmt->columnText(3);
        g.category = stmt->columnText(4);
        g.created_at = stmt->columnText(5);
        g.last_played = stmt->columnText(6);
        g.play_count = stmt->columnInt(7);
        g.launch_args = stmt->columnText(8);
        g.save_dir = stmt->columnText(9);
        g.game_size = stmt->columnInt64(10);
        g.is_favorite = stmt->columnInt(11) != 0;
        games.push_back(std::move(g));
    }
    // Second step: which rows hold an icon. Both lists come in id order, so
    // one pass over the games marks them.
    auto withIcon = db->prepare(kIconIdsQuery);
    if (!withIcon) return games;
    auto game = games.begin();
    while (withIcon->step() == SQLITE_ROW) {
        const std::int64_t id = withIcon->columnInt64(0);
        while (game != games.end() && game->id < id) ++game;
        if (game != games.end() && game->id == id) game->hasIconBlob = true;
    }
    return games;
}

void GameLauncher::initGames() { library.setGames(loadGames(databasePath())); }

}  // namespace ludexa
