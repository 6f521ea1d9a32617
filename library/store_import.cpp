// Store games into data.db, and "导入游戏平台...": the stores found in the
// user's home, a dialog to choose among them, and the same waiting pop-up and
// count message as the folder import.
#include "library/store_import.h"

#include <utility>

#include "app/GameLauncher.h"
#include "library/icons.h"
#include "platform/native_dialogs.h"
#include "platform/paths.h"
#include "platform/shutdown_signal.h"

namespace ludexa {

int countNewGames(const StoreLibrary& store, const std::set<GameKey>& known) {
    int count = 0;
    for (const auto& game : store.games) count += known.count({game.exe_path, std::string()}) == 0 ? 1 : 0;
    return count;
}

std::string storeChoiceLabel(const StoreLibrary& store, int newGames) {
    if (newGames == 0) return store.label + "（没有新游戏）";
    return store.label + "（" + std::to_string(newGames) + " 个新游戏）";
}

std::vector<ImportedGame> importStoreGames(const std::vector<StoreGame>& games, const std::string& databasePath,
                                           IconLoader& icons, std::time_t now) {
    auto known = libraryKeys(databasePath);
    if (!known) return {};
    std::vector<ImportedGame> candidates;
    for (const auto& game : games) {
        // At logout nothing of an unfinished import is stored.
        if (shutdownRequested()) return {};
        // Only new games cost an icon; the write checks again.
        if (!known->emplace(game.exe_path, std::string()).second) continue;
        ImportedGame imported;
        imported.info.name = game.name;
        imported.info.exe_path = game.exe_path;
        imported.info.folder_path = game.folder_path;
        imported.info.created_at = localTimeText(game.installed != 0 ? game.installed : now);
        if (const auto icon = iconForNewGame(icons, game.icons)) {
            auto png = encodePng(*icon);
            if (!png.empty()) imported.iconPng = std::make_shared<const std::vector<unsigned char>>(std::move(png));
        }
        candidates.push_back(std::move(imported));
    }
    return storeNewGames(databasePath, std::move(candidates));
}

void GameLauncher::importGameStores() {
    const std::string dbPath = databasePath();
    auto stores = findStores(userHomeDirectory());
    const auto known = libraryKeys(dbPath).value_or(std::set<GameKey>{});
    std::vector<StoreChoice> choices;
    for (const auto& store : stores) choices.push_back({storeChoiceLabel(store, countNewGames(store, known))});

    std::optional<std::vector<bool>> chosen;
    {
        const ModalRepaint repaint([this] { render(); });
        chosen = runStoreImportDialog(choices, nativeHandle());
    }
    if (!chosen || stores.empty()) {
        discardInputAfterModal();
        return;
    }
    std::vector<StoreGame> wanted;
    for (std::size_t i = 0; i < stores.size() && i < chosen->size(); ++i)
        if ((*chosen)[i])
            for (auto& game : stores[i].games) wanted.push_back(std::move(game));

    runImport("导入游戏平台", [&wanted, dbPath, iconTheme = userIconThemeName()] {
        const auto icons = makeIconLoader(iconTheme);
        return importStoreGames(wanted, dbPath, *icons, std::time(nullptr));
    });
}

}  // namespace ludexa
