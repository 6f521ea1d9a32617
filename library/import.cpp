// Importing games from a folder of shortcuts, and the "添加游戏" action: a
// folder chooser, a waiting pop-up while a worker scans, the sorted library
// and a message with the number of games added.
//
// The worker never touches `games` or a texture: it returns the new records
// with their icons as PNG bytes, and the main thread appends them and makes
// the textures, since GL objects belong on the thread that draws.
#include "library/import.h"


#include <cstdio>
#include <ctime>
#include <set>
#include <utility>

#include "app/GameLauncher.h"
#include "library/database.h"
#include "library/icons.h"
#include "platform/dialogs.h"
#include "platform/paths.h"
#include "platform/shortcuts.h"
#include "platform/shutdown_signal.h"

namespace ludexa {
namespace {

// The (exe_path, launch_args) pairs already in the library; nullopt when the
// games table cannot be read.
std::optional<std::set<GameKey>> storedKeys(Database& db) {
    auto stmt = db.prepare("SELECT exe_path, launch_args FROM games");
    if (!stmt) return std::nullopt;
    std::set<GameKey> keys;
    int rc = SQLITE_ROW;
    while ((rc = stmt->step()) == SQLITE_ROW) keys.emplace(stmt->columnText(0), stmt->columnText(1));
    if (rc != SQLITE_DONE) return std::nullopt;
    return keys;
}

using PngBytes = std::shared_ptr<const std::vector<unsigned char>>;

// Shortcuts of one folder often share an icon (one launcher, one icon name,
// one file type): each distinct source is looked up and encoded once per import.
class ShortcutIcons {
public:
    explicit ShortcutIcons(IconLoader& loader) : loader_(loader) {}

    PngBytes iconFor(const std::vector<IconSource>& sources) {
        for (const auto& source : sources)
            if (auto png = fromSource(source)) return png;
        return nullptr;
    }

private:
    PngBytes fromSource(const IconSource& source) {
        std::string key = loader_.cacheKey(source);
        if (auto it = cache_.find(key); it != cache_.end()) return it->second;
        PngBytes png;
        if (const auto image = iconFromSource(loader_, source)) {
            auto bytes = encodePng(*image);
            if (!bytes.empty()) png = std::make_shared<const std::vector<unsigned char>>(std::move(bytes));
        }
        cache_.emplace(std::move(key), png);
        return png;
    }

    IconLoader& loader_;
    std::map<std::string, PngBytes> cache_;
};

bool insertGame(Database& db, const ImportedGame& game) {
    auto stmt = db.prepare(
        "INSERT INTO games (name, exe_path, folder_path, category, icon, created_at, launch_args) "
        "VALUES (?, ?, ?, ?, ?, ?, ?)");
    if (!stmt) return false;
    const GameInfo& g = game.info;
    stmt->bind(1, g.name).bind(2, g.exe_path).bind(3, g.folder_path).bind(4, std::string_view(""));
    if (game.iconPng && !game.iconPng->empty())
        stmt->bindBlob(5, *game.iconPng);
    else
        stmt->bindNull(5);
    stmt->bind(6, g.created_at).bind(7, g.launch_args);
    return stmt->stepDone();
}

}  // namespace

std::string localTimeText(std::time_t time) {
    std::tm local{};
    if (localtime_r(&time, &local) == nullptr) {
        const std::time_t now = std::time(nullptr);
        localtime_r(&now, &local);
    }
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", local.tm_year + 1900, local.tm_mon + 1,
                  local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
    return text;
}

std::optional<std::set<GameKey>> libraryKeys(const std::string& databasePath) {
    auto db = Database::open(databasePath, false);
    if (!db) return std::nullopt;
    return storedKeys(*db);
}

StoredGames storeNewGames(const std::string& databasePath, std::vector<ImportedGame> candidates) {
    if (candidates.empty()) return {};
    WriteOutcome openFailure;
    auto db = Database::open(databasePath, false, &openFailure);
    if (!db) return {{}, openFailure};
    // Whatever fails (another program's lock, a read-only file, a full disk,
    // a refused row), nothing of this import stays: the user is told why and
    // may simply run it again.
    const auto refused = [&db] {
        StoredGames result{{}, db->failure()};  // before the rollback changes it
        (void)db->exec("ROLLBACK");
        return result;
    };
    if (!db->exec("BEGIN IMMEDIATE")) return refused();
    // Read again inside the transaction: another program may have added rows
    // while the candidates were being read.
    auto stored = storedKeys(*db);
    if (!stored) return refused();
    std::vector<ImportedGame> added;
    added.reserve(candidates.size());
    for (auto& game : candidates) {
        if (!stored->emplace(game.info.exe_path, game.info.launch_args).second) continue;
        if (!insertGame(*db, game)) return refused();
        game.info.id = db->lastInsertRowId();
        added.push_back(std::move(game));
    }
    if (!db->exec("COMMIT")) return refused();
    return {std::move(added), {}};
}

StoredGames importShortcutFolder(const std::string& folder, const std::string& databasePath, IconLoader& icons) {
    // Never created here: data.db exists from start-up, and a file that has
    // gone missing since would only become a stray empty database.
    WriteOutcome openFailure;
    auto db = Database::open(databasePath, false, &openFailure);
    if (!db) return {{}, openFailure};
    auto known = storedKeys(*db);
    if (!known) return {{}, db->failure()};

    // Reading the shortcuts and their icons takes the time; it happens before
    // the write transaction so the database stays free for others meanwhile.
    std::vector<ImportedGame> candidates;
    ShortcutIcons shortcutIcons(icons);
    for (const auto& path : listShortcutFiles(folder)) {
        // At logout the waiting pop-up must not hold the close up: nothing of
        // an unfinished scan is stored.
        if (shutdownRequested()) return {};
        auto shortcut = readShortcut(path);
        if (!shortcut) continue;
        // Also catches a second shortcut of this folder to the same game.
        if (!known->emplace(shortcut->exe_path, shortcut->launch_args).second) continue;
        ImportedGame game;
        game.info.name = std::move(shortcut->name);
        game.info.exe_path = std::move(shortcut->exe_path);
        game.info.launch_args = std::move(shortcut->launch_args);
        game.info.folder_path = std::move(shortcut->folder_path);
        game.info.created_at = localTimeText(shortcut->modified);
        game.iconPng = shortcutIcons.iconFor(shortcut->icons);
        candidates.push_back(std::move(game));
    }
    db.reset();  // the write opens its own connection
    return storeNewGames(databasePath, std::move(candidates));
}

int appendImportedGames(std::vector<GameInfo>& games, std::vector<ImportedGame> imported) {
    games.reserve(games.size() + imported.size());
    // The icons were stored with the rows; the grid's icon cache decodes them
    // from data.db when their cells are shown.
    for (auto& game : imported) {
        game.info.hasIconBlob = game.iconPng && !game.iconPng->empty();
        game.info.hasIcon = game.info.hasIconBlob;
        games.push_back(std::move(game.info));
    }
    return static_cast<int>(imported.size());
}

int GameLauncher::addGamesFromDirectory(const std::string& folder) {
    const auto icons = makeIconLoader(userIconThemeName());
    std::vector<GameInfo> added;
    appendImportedGames(added, importShortcutFolder(folder, databasePath(), *icons).games);
    return static_cast<int>(library.appendGames(std::move(added)));
}

void GameLauncher::addGames() {
    const auto folder = chooseFolder("选择包含游戏快捷方式的文件夹", nativeHandle());
    if (!folder) {
        discardInputAfterModal();
        return;
    }
    const std::string dbPath = databasePath();
    runImport("添加游戏", [&, iconTheme = userIconThemeName()] {
        // Made on the worker: the loader's icon theme is used by that thread only.
        const auto icons = makeIconLoader(iconTheme);
        return importShortcutFolder(*folder, dbPath, *icons);
    });
}

void GameLauncher::runImport(const std::string& caption, const std::function<StoredGames()>& work) {
    // No frame is drawn while the scan runs. Without a compositor the closed
    // dialog would stay painted over the main window until then, so the
    // window is drawn once now, under the pop-up.
    render();
    StoredGames stored;
    runWithWaitingPopup("正在扫描游戏，请稍候……", nativeHandle(), [&] {
        try {
            stored = work();
        } catch (...) {
            stored = {{}, {SQLITE_NOMEM, {}}};
        }
    });
    std::vector<GameInfo> fresh;
    const int added = appendImportedGames(fresh, std::move(stored.games));
    library.appendGames(std::move(fresh));

    sortGames();
    // A library empty until now selects its first game.
    if (library.selectedIndex() < 0) library.select(0);
    applyViewChange({.shown = true, .selection = true});
    // Drawn before the message: without a compositor the closed pop-up would
    // otherwise stay painted behind it.
    render();

    // A refused write is not "nothing new": the games found were not kept.
    if (!stored.refused.done())
        showMessageBox({"新增的游戏未能保存。\n" + writeFailureReason(stored.refused), caption, MessageIcon::Error,
                        MessageButtons::Ok, nativeHandle()});
    else
        showMessageBox({"扫描完成！\n共新增 " + std::to_string(added) + " 个游戏。", caption, MessageIcon::Information,
                        MessageButtons::Ok, nativeHandle()});
    discardInputAfterModal();
}

}  // namespace ludexa
