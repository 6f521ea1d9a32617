// Deleting a game from the library (its resource folder stays on disk).
#include <algorithm>

#include "app/GameLauncher.h"
#include "library/database.h"
#include "library/play_watch.h"
#include "platform/dialogs.h"
#include "platform/paths.h"

namespace ludexa {

void GameLauncher::deleteGame(int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= library.games().size()) return;
    const auto owner = nativeHandle();
    const GameInfo& game = library.games()[static_cast<std::size_t>(index)];
    const bool confirmed = showMessageBox({"确定要删除游戏 [" + game.name + "] 吗？\n\n（资源目录不会被删除）", "删除游戏",
                                           MessageIcon::Warning, MessageButtons::YesNo, owner});
    discardInputAfterModal();
    if (!confirmed) return;

    const std::int64_t id = game.id;
    // A refusal is said with its reason, and the game stays.
    if (!writeLibrary([&] { return deleteGameRow(databasePath(), id); }, "删除失败，请重试。").done()) return;
    if (playWatcher) playWatcher->forget(id);

    iconCache->forget(id);
    menus.iconGame = -1;
    applyViewChange(library.remove(static_cast<std::size_t>(index)));
    showMessageBox({"游戏已删除。", "删除成功", MessageIcon::Information, MessageButtons::Ok, owner});
    discardInputAfterModal();
}

}  // namespace ludexa
