// Marking a game as a favourite, in memory and in data.db; and how every write
// from the window meets a data.db that another program holds.
#include "app/GameLauncher.h"
#include "library/database.h"
#include "platform/dialogs.h"
#include "platform/paths.h"

namespace ludexa {

inline constexpr const char* kLibraryBusyText = "data.db 正被其他程序使用，本次更改未能保存。\n请关闭占用它的程序后重试。";

WriteOutcome GameLauncher::writeLibrary(const std::function<WriteOutcome()>& write) {
    // SQLite waits up to its busy timeout for another program's lock: the wait
    // cursor says the window is not hung meanwhile.
    window.setMouseCursor(waitCursor);
    const WriteOutcome outcome = write();
    window.setMouseCursor(lastInTextBox ? textCursor : arrowCursor);
    if (outcome == WriteOutcome::Busy) {
        showMessageBox({kLibraryBusyText, "错误", MessageIcon::Error, MessageButtons::Ok, nativeHandle()});
        discardInputAfterModal();
    }
    return outcome;
}

void GameLauncher::setFavorite(int index, bool favorite) {
    if (index < 0 || static_cast<std::size_t>(index) >= games.size()) return;
    const std::int64_t id = games[static_cast<std::size_t>(index)].id;
    const bool before = games[static_cast<std::size_t>(index)].is_favorite;
    games[static_cast<std::size_t>(index)].is_favorite = favorite;
    // A database that cannot be opened keeps the change in memory only; one
    // held by another program did not take it, so it is not shown as done.
    if (writeLibrary([&] { return storeFavorite(databasePath(), id, favorite); }) == WriteOutcome::Busy)
        games[static_cast<std::size_t>(index)].is_favorite = before;
}

}  // namespace ludexa
