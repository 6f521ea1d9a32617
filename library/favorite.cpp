// Marking a game as a favourite, in memory and in data.db; and how every write
// from the window meets a data.db that refuses it.
#include "app/GameLauncher.h"
#include "library/database.h"
#include "platform/dialogs.h"
#include "platform/paths.h"

namespace ludexa {

WriteOutcome GameLauncher::writeLibrary(const std::function<WriteOutcome()>& write, const std::string& failed) {
    // SQLite waits up to its busy timeout for another program's lock: the wait
    // cursor says the window is not hung meanwhile.
    window.setMouseCursor(waitCursor);
    WriteOutcome outcome;
    try {
        outcome = write();
    } catch (...) {
        outcome = {SQLITE_NOMEM, {}};
    }
    window.setMouseCursor(lastInTextBox ? textCursor : arrowCursor);
    if (!outcome.done()) {
        showMessageBox({failed + "\n" + writeFailureReason(outcome), "错误", MessageIcon::Error, MessageButtons::Ok,
                        nativeHandle()});
        discardInputAfterModal();
    }
    return outcome;
}

void GameLauncher::setFavorite(int index, bool favorite) {
    if (index < 0 || static_cast<std::size_t>(index) >= library.games().size()) return;
    const std::int64_t id = library.games()[static_cast<std::size_t>(index)].id;
    const bool before = library.games()[static_cast<std::size_t>(index)].is_favorite;
    library.editGames()[static_cast<std::size_t>(index)].is_favorite = favorite;
    // A refused write is not shown as done: the mark goes back to what the
    // file keeps.
    if (!writeLibrary([&] { return storeFavorite(databasePath(), id, favorite); }).done())
        library.editGames()[static_cast<std::size_t>(index)].is_favorite = before;
}

}  // namespace ludexa
