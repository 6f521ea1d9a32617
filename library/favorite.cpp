// Marking a game as a favourite, in memory and in data.db.
#include "app/GameLauncher.h"
#include "library/database.h"
#include "platform/paths.h"

namespace ludexa {

void GameLauncher::setFavorite(int index, bool favorite) {
    if (index < 0 || static_cast<std::size_t>(index) >= games.size()) return;
    GameInfo& game = games[static_cast<std::size_t>(index)];
    game.is_favorite = favorite;
    // A database that cannot be opened keeps the change in memory only.
    if (auto db = Database::open(databasePath(), false)) {
        if (auto update = db->prepare("UPDATE games SET is_favorite=? WHERE id=?")) {
            update->bind(1, favorite ? 1 : 0).bind(2, game.id);
            (void)update->step();
        }
    }
}

}  // namespace ludexa
