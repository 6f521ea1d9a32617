// Store games into data.db, and "导入游戏平台...": the stores found in the
// user's home and menu, read behind the waiting pop-up, a dialog to choose
// among them, and the same waiting pop-up and count message as the folder
// import.
#include "library/store_import.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "app/GameLauncher.h"
#include "library/database.h"
#include "library/icons.h"
#include "media/media_folder.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/native_dialogs.h"
#include "platform/paths.h"
#include "platform/shutdown_signal.h"

namespace ludexa {
namespace {

// The picture format by its first bytes; nullptr for anything else.
const char* pictureExtension(const std::string& bytes) {
    const auto starts = [&](std::string_view magic, std::size_t at = 0) {
        return bytes.size() >= at + magic.size() && bytes.compare(at, magic.size(), magic) == 0;
    };
    if (starts("\xFF\xD8\xFF")) return ".jpg";
    if (starts("\x89PNG\r\n\x1A\n")) return ".png";
    if (starts("GIF87a") || starts("GIF89a")) return ".gif";
    if (starts("RIFF") && starts("WEBP", 8)) return ".webp";
    if (starts("ftypavif", 4) || starts("ftypavis", 4)) return ".avif";
    if (starts("BM")) return ".bmp";
    return nullptr;
}

// Writes a new file; an existing one (or a link planted in its place) is
// left alone.
bool writeNewFile(const std::string& path, const std::string& bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += static_cast<std::size_t>(n);
    }
    const bool whole = ::close(fd) == 0 && done == bytes.size();
    if (!whole) ::unlink(path.c_str());  // a half picture would only show as broken
    return whole;
}

bool makeFolder(const std::string& path) { return ::mkdir(path.c_str(), 0755) == 0 || errno == EEXIST; }

}  // namespace

int countNewGames(const StoreLibrary& store, const std::set<GameKey>& known) {
    int count = 0;
    for (const auto& game : store.games) count += known.count({game.exe_path, game.launch_args}) == 0 ? 1 : 0;
    return count;
}

std::string storeChoiceLabel(const StoreLibrary& store, int newGames) {
    // A store whose files failed is never shown as having nothing new.
    if (!store.problem.empty() && newGames == 0) return store.label + "（无法读取：" + store.problem + "）";
    const std::string count = newGames == 0 ? "没有新游戏" : std::to_string(newGames) + " 个新游戏";
    if (!store.problem.empty()) return store.label + "（" + count + "；部分无法读取：" + store.problem + "）";
    return store.label + "（" + count + "）";
}

int copyStorePictures(const std::vector<std::string>& pictures, const std::string& mediaRootPath,
                      const std::string& name) {
    const std::string folder = gameMediaFolder(mediaRootPath, name);
    if (folder.empty() || pictures.empty()) return 0;
    if (!scanMediaFolder(folder, PictureFormats{}).pictures.empty()) return 0;  // the user's own come first
    int copied = 0;
    for (const auto& source : pictures) {
        if (static_cast<std::size_t>(copied) >= kMaxStorePictures) break;
        std::string bytes;
        if (!readWholeRegularFile(source, kMaxStorePictureBytes, bytes)) continue;
        const char* extension = pictureExtension(bytes);
        if (extension == nullptr) continue;
        if (copied == 0 && (!makeFolder(mediaRootPath.substr(0, mediaRootPath.size() - 1)) ||
                            !makeFolder(folder.substr(0, folder.size() - 1))))
            return 0;
        if (writeNewFile(folder + "store-" + std::to_string(copied + 1) + extension, bytes)) ++copied;
    }
    return copied;
}

StoredGames importStoreGames(const std::vector<StoreGame>& games, const std::string& databasePath,
                             const std::string& mediaRootPath, IconLoader& icons, std::time_t now) {
    // A library that cannot be read now costs icons for games it may hold:
    // the write reads it again and says why it cannot.
    auto known = libraryKeys(databasePath).value_or(std::set<GameKey>{});
    std::vector<ImportedGame> candidates;
    std::map<std::string, const StoreGame*> byKey;
    for (const auto& game : games) {
        // At logout nothing of an unfinished import is stored.
        if (shutdownRequested()) return {};
        // Only new games cost an icon; the write checks again.
        if (!known.emplace(game.exe_path, game.launch_args).second) continue;
        ImportedGame imported;
        imported.info.name = game.name;
        imported.info.exe_path = game.exe_path;
        imported.info.launch_args = game.launch_args;
        imported.info.folder_path = game.folder_path;
        imported.info.created_at = localTimeText(game.installed != 0 ? game.installed : now);
        if (const auto icon = iconForNewGame(icons, game.icons)) {
            auto png = encodePng(*icon);
            if (!png.empty()) imported.iconPng = std::make_shared<const std::vector<unsigned char>>(std::move(png));
        }
        byKey[game.exe_path + '\n' + game.launch_args] = &game;
        candidates.push_back(std::move(imported));
    }
    auto added = storeNewGames(databasePath, std::move(candidates));
    // Only games that are stored get art: a picture folder of a game that is
    // not in the library would wait for a game of the same name.
    for (const auto& game : added.games) {
        const auto source = byKey.find(game.info.exe_path + '\n' + game.info.launch_args);
        if (source != byKey.end()) copyStorePictures(source->second->pictures, mediaRootPath, game.info.name);
    }
    return added;
}

void GameLauncher::importGameStores() {
    const std::string dbPath = databasePath();
    // Reading the stores can take a while (large lists, a pga.db Lutris holds
    // locked): behind the waiting pop-up, never with the window frozen.
    std::vector<StoreLibrary> stores;
    std::set<GameKey> known;
    render();
    runWithWaitingPopup("正在读取游戏平台，请稍候……", nativeHandle(), [&] {
        const std::string home = userHomeDirectory();
        stores = findStores(home, menuDataDirs(home));
        known = libraryKeys(dbPath).value_or(std::set<GameKey>{});
    });
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

    runImport("导入游戏平台", [&wanted, dbPath, media = mediaRoot(), iconTheme = userIconThemeName()] {
        const auto icons = makeIconLoader(iconTheme);
        return importStoreGames(wanted, dbPath, media, *icons, std::time(nullptr));
    });
}

}  // namespace ludexa
