// Readers of the installed-game lists of Steam, Lutris and Heroic, and of the
// application menu's games. They follow the stores' own file layouts. A file
// that is missing means fewer games; one that is there but cannot be read or
// parsed also leaves the store's `problem`, so the user hears why a store
// shows fewer games than it has.
#include "library/stores.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "library/database.h"
#include "library/keyvalues.h"
#include "platform/json.h"
#include "platform/paths.h"
#include "platform/shortcuts.h"

namespace ludexa {
namespace fs = std::filesystem;
namespace {

// Store files are small; anything larger is not one of them.
constexpr std::uintmax_t kMaxStoreFileBytes = 64u << 20;

// The first reason a store's file could not be read is the one shown.
void noteProblem(std::string& problem, const std::string& reason) {
    if (problem.empty()) problem = reason;
}

std::string unreadable(const fs::path& path) { return path.filename().string() + " 无法读取"; }
std::string unparsable(const fs::path& path) { return path.filename().string() + " 无法解析"; }

// A missing file is no problem (the store does not use it); one that exists
// and cannot be read is.
std::optional<std::string> readFile(const fs::path& path, std::string& problem) {
    std::error_code ec;
    const auto status = fs::status(path, ec);
    if (ec || !fs::exists(status)) return std::nullopt;
    if (!fs::is_regular_file(status)) {
        noteProblem(problem, unreadable(path));
        return std::nullopt;
    }
    const auto size = fs::file_size(path, ec);
    std::ifstream in(path, std::ios::binary);
    if (ec || size > kMaxStoreFileBytes || !in) {
        noteProblem(problem, unreadable(path));
        return std::nullopt;
    }
    std::ostringstream text;
    text << in.rdbuf();
    if (text.str().size() > kMaxStoreFileBytes) {  // it grew since
        noteProblem(problem, unreadable(path));
        return std::nullopt;
    }
    return text.str();
}

std::optional<std::vector<KeyValue>> readKeyValues(const fs::path& path, std::string& problem) {
    const auto text = readFile(path, problem);
    if (!text) return std::nullopt;
    auto pairs = parseKeyValues(*text);
    if (!pairs) noteProblem(problem, unparsable(path));
    return pairs;
}

// The longest prefix of at most `bytes` bytes that ends on a whole character.
std::string cutUtf8(std::string text, std::size_t bytes) {
    if (text.size() <= bytes) return text;
    std::size_t end = bytes;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
    text.resize(end);
    return text;
}

// Adds the game unless the store is full; false once it is.
bool addGame(StoreLibrary& library, StoreGame game) {
    if (library.games.size() >= kMaxStoreGames) return false;
    game.name = cutUtf8(std::move(game.name), kMaxStoreNameBytes);
    library.games.push_back(std::move(game));
    return true;
}

bool full(const StoreLibrary& library) { return library.games.size() >= kMaxStoreGames; }

bool isFile(const fs::path& path) {
    std::error_code ec;
    return fs::is_regular_file(path, ec);
}

bool isDir(const fs::path& path) {
    std::error_code ec;
    return fs::is_directory(path, ec);
}

// One spelling per folder, so a folder reached through a link is read once.
std::string identity(const fs::path& path) {
    std::error_code ec;
    const auto canonical = fs::weakly_canonical(path, ec);
    return (ec ? path : canonical).lexically_normal().string();
}

void addIfFile(std::vector<IconSource>& icons, const fs::path& path) {
    if (isFile(path)) icons.push_back({IconSource::Kind::ImageFile, path.string()});
}

// Art is copied into the game's own folder later; a picture is listed once.
void addPicture(std::vector<std::string>& pictures, const fs::path& path) {
    if (isFile(path) && std::find(pictures.begin(), pictures.end(), path.string()) == pictures.end())
        pictures.push_back(path.string());
}

std::vector<std::string> sortedNames(const fs::path& folder) {
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
        names.push_back(it->path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::time_t parseTime(std::string_view text) {
    const std::string s(text);
    char* end = nullptr;
    const long long value = std::strtoll(s.c_str(), &end, 10);
    return end != s.c_str() && value > 0 ? static_cast<std::time_t>(value) : 0;
}

bool allDigits(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// ---- Steam ---------------------------------------------------------------------

const std::set<std::string_view, std::less<>> kSteamToolIds = {
    "228980",   // Steamworks Common Redistributables
    "1070560",  // Steam Linux Runtime 1.0 (scout)
    "1391110",  // Steam Linux Runtime 2.0 (soldier)
    "1628350",  // Steam Linux Runtime 3.0 (sniper)
    "858280", "930400", "961940", "996510", "1054830", "1113280", "1245040", "1420170", "1580130",
    "1887720", "2348590", "2805730", "3658110",  // Proton 3.7 to 10.0
    "1493710",  // Proton Experimental
    "2180100",  // Proton Hotfix
    "1161040",  // Proton BattlEye Runtime
    "1826330",  // Proton EasyAntiCheat Runtime
};

std::vector<fs::path> steamRoots(const fs::path& home) {
    const fs::path flatpak = home / ".var/app/com.valvesoftware.Steam";
    const fs::path candidates[] = {home / ".local/share/Steam", home / ".steam/steam", home / ".steam/root",
                                   flatpak / ".local/share/Steam", flatpak / ".steam/steam"};
    std::vector<fs::path> roots;
    std::set<std::string> seen;
    for (const auto& root : candidates)
        if (isDir(root / "steamapps") && seen.insert(identity(root)).second) roots.push_back(root);
    return roots;
}

// The library folders a Steam root lists: the current layout has one block per
// library holding its "path"; the old one a plain value per library.
std::vector<fs::path> steamLibraries(const fs::path& root, std::string& problem) {
    std::vector<fs::path> libraries{root};
    for (const auto* file : {"steamapps/libraryfolders.vdf", "config/libraryfolders.vdf"}) {
        const auto pairs = readKeyValues(root / file, problem);
        if (!pairs) continue;
        for (const auto& top : *pairs) {
            if (!top.isBlock) continue;
            for (const auto& entry : top.children) {
                if (!allDigits(entry.key)) continue;
                const std::string path(entry.isBlock ? entry.get("path") : std::string_view(entry.value));
                if (!path.empty()) libraries.emplace_back(path);
            }
        }
    }
    return libraries;
}

std::vector<IconSource> steamIcons(const fs::path& home, const fs::path& root, const std::string& appId) {
    std::vector<IconSource> icons;
    // The icons Steam puts in the icon theme when it makes a desktop shortcut.
    for (const auto* size : {"256x256", "128x128", "96x96", "64x64", "48x48", "32x32"})
        addIfFile(icons, home / ".local/share/icons/hicolor" / size / "apps" / ("steam_icon_" + appId + ".png"));
    // The library cache: "<appid>_<kind>.jpg" in older clients, a folder per
    // game in newer ones, where the icon is named by its 40-digit hash.
    const fs::path cache = root / "appcache/librarycache";
    addIfFile(icons, cache / (appId + "_icon.jpg"));
    for (const auto& name : sortedNames(cache / appId)) {
        const fs::path file(name);
        const std::string stem = file.stem().string();
        if (file.extension() == ".jpg" && stem.size() == 40 &&
            std::all_of(stem.begin(), stem.end(), [](char c) { return std::isxdigit(static_cast<unsigned char>(c)); }))
            addIfFile(icons, cache / appId / name);
    }
    addIfFile(icons, cache / (appId + "_library_600x900.jpg"));
    addIfFile(icons, cache / appId / "library_600x900.jpg");
    addIfFile(icons, cache / (appId + "_header.jpg"));
    addIfFile(icons, cache / appId / "header.jpg");
    return icons;
}

// The library cache's art, the cover first: "<appid>_<kind>.jpg" in older
// clients; newer ones keep "<kind>.jpg" in a folder per game, some of them
// one folder further down, named by a hash.
std::vector<std::string> steamPictures(const fs::path& root, const std::string& appId) {
    std::vector<std::string> pictures;
    const fs::path cache = root / "appcache/librarycache";
    std::vector<fs::path> folders{cache / appId};
    for (const auto& name : sortedNames(cache / appId))
        if (isDir(cache / appId / name)) folders.push_back(cache / appId / name);
    for (const auto* kind : {"library_600x900_2x", "library_600x900", "library_hero", "header"}) {
        for (const auto* ext : {".jpg", ".png"}) {
            addPicture(pictures, cache / (appId + "_" + kind + ext));
            for (const auto& folder : folders) addPicture(pictures, folder / (std::string(kind) + ext));
        }
    }
    return pictures;
}

// An installdir names one folder in the library's steamapps/common; a value
// that climbs out of it ("../../..") or is absolute names no folder at all.
std::string steamInstallFolder(const fs::path& library, const std::string& installDir) {
    const fs::path relative = fs::path(installDir).lexically_normal();
    if (installDir.empty() || relative.is_absolute() || relative.has_root_name() || relative.empty() ||
        relative == ".")
        return {};
    for (const auto& part : relative)
        if (part == "..") return {};
    return (library / "steamapps/common" / relative).string();
}

// StateFlags bit 4 is "fully installed"; a game still downloading, or whose
// first download was stopped, lacks it.
constexpr unsigned long kSteamFullyInstalled = 4;

std::optional<StoreGame> steamGame(const fs::path& home, const fs::path& root, const fs::path& library,
                                   const fs::path& manifest, std::string& problem) {
    const auto pairs = readKeyValues(manifest, problem);
    if (!pairs) return std::nullopt;
    const KeyValue* state = nullptr;
    for (const auto& pair : *pairs)
        if (pair.isBlock && pair.find("appid") != nullptr) state = &pair;  // "AppState"
    if (state == nullptr) return std::nullopt;
    const std::string appId(state->get("appid"));
    const std::string flagsText(state->get("StateFlags"));
    const unsigned long flags = std::strtoul(flagsText.c_str(), nullptr, 10);
    if (!allDigits(appId) || (flags & kSteamFullyInstalled) == 0) return std::nullopt;
    StoreGame game;
    game.name = std::string(state->get("name"));
    const std::string installDir(state->get("installdir"));
    if (game.name.empty()) game.name = installDir;
    if (game.name.empty() || isSteamTool(appId, game.name)) return std::nullopt;
    game.exe_path = "steam://rungameid/" + appId;
    game.folder_path = steamInstallFolder(library, installDir);
    game.installed = parseTime(state->get("LastUpdated"));
    game.icons = steamIcons(home, root, appId);
    game.pictures = steamPictures(root, appId);
    return game;
}

// ---- Lutris --------------------------------------------------------------------

struct LutrisPlace {
    fs::path data, cache, icons;
};

std::vector<std::string> lutrisPictures(const LutrisPlace& place, const std::string& slug) {
    std::vector<std::string> pictures;
    if (slug.empty()) return pictures;
    for (const auto* kind : {"coverart", "banners"})
        for (const auto& folder : {place.data / kind, place.cache / kind})
            for (const auto* ext : {".jpg", ".png"}) addPicture(pictures, folder / (slug + ext));
    return pictures;
}

// Why pga.db could not be read, from SQLite's result code.
std::string lutrisProblem(int code) {
    switch (code & 0xFF) {
        case SQLITE_BUSY:
        case SQLITE_LOCKED: return "数据库被占用";
        case SQLITE_NOTADB: return "不是数据库";
        case SQLITE_CORRUPT: return "数据库已损坏";
        case SQLITE_CANTOPEN:
        case SQLITE_PERM:
        case SQLITE_AUTH: return "无法打开数据库";
        case SQLITE_ERROR: return "缺少所需的列";
        default: return "数据库读取出错（" + std::to_string(code) + "）";
    }
}

std::vector<IconSource> lutrisIcons(const LutrisPlace& place, const std::string& slug) {
    std::vector<IconSource> icons;
    if (slug.empty()) return icons;
    addIfFile(icons, place.icons / "hicolor/128x128/apps" / ("lutris_" + slug + ".png"));
    for (const auto* kind : {"coverart", "banners"})
        for (const auto& folder : {place.data / kind, place.cache / kind})
            for (const auto* ext : {".jpg", ".png"}) addIfFile(icons, folder / (slug + ext));
    return icons;
}

void readLutrisDatabase(const LutrisPlace& place, StoreLibrary& library, std::set<std::string>& seen) {
    // Opened read-only, with the busy wait data.db has: Lutris writes pga.db
    // while it runs, and a write in progress holds readers off for a moment.
    auto db = Database::openReadOnly((place.data / "pga.db").string());
    if (!db) return noteProblem(library.problem, lutrisProblem(SQLITE_CANTOPEN));
    // Old libraries have no installed_at column.
    auto rows = db->prepare("SELECT id, name, slug, directory, installed_at FROM games WHERE installed = 1 ORDER BY id");
    if (!rows && db->errorCode() == SQLITE_ERROR)
        rows = db->prepare("SELECT id, name, slug, directory, 0 FROM games WHERE installed = 1 ORDER BY id");
    if (!rows) return noteProblem(library.problem, lutrisProblem(db->errorCode()));
    int rc = SQLITE_ROW;
    while ((rc = rows->step()) == SQLITE_ROW) {
        StoreGame game;
        const std::string slug = rows->columnText(2);
        game.name = rows->columnText(1);
        if (game.name.empty()) game.name = slug;
        if (game.name.empty()) continue;
        game.exe_path = "lutris:rungameid/" + std::to_string(rows->columnInt64(0));
        if (!seen.insert(game.exe_path).second) continue;
        game.folder_path = rows->columnText(3);
        game.installed = static_cast<std::time_t>(std::max<std::int64_t>(rows->columnInt64(4), 0));
        game.icons = lutrisIcons(place, slug);
        game.pictures = lutrisPictures(place, slug);
        if (!addGame(library, std::move(game))) return;
    }
    if (rc != SQLITE_DONE) noteProblem(library.problem, lutrisProblem(rc));
}

// ---- Heroic --------------------------------------------------------------------

std::optional<JsonValue> readJson(const fs::path& path, std::string& problem) {
    const auto text = readFile(path, problem);
    if (!text) return std::nullopt;
    auto json = parseJson(*text);
    if (!json) noteProblem(problem, unparsable(path));
    return json;
}

// The elements of `array` or of the member `key` holding one.
const std::vector<JsonValue>* arrayOf(const JsonValue& value, const char* key) {
    const JsonValue* array = key != nullptr ? value.member(key) : &value;
    return array != nullptr && array->type == JsonValue::Type::Array ? &array->items : nullptr;
}

// What Heroic's store caches know of a game: its title and its art.
struct HeroicEntry {
    std::string title;
    std::vector<std::string> art;  // URLs or local files, the best first
    std::vector<std::string> pictures;  // the same for the large art: cover, then background
};

// The store caches list every game the account owns, installed or not; more
// than this are not read.
constexpr std::size_t kMaxHeroicEntries = 4 * kMaxStoreGames;

class HeroicConfig {
public:
    HeroicConfig(fs::path root, std::string& problem) : root_(std::move(root)), problem_(problem) {
        for (const auto& name : sortedNames(root_ / "images-cache"))
            cached_.emplace(fs::path(name).stem().string(), root_ / "images-cache" / name);
    }

    // Adds the entries of a store cache file to the runner's table.
    void learn(const std::string& runner, const fs::path& file) {
        const auto json = readJson(root_ / file, problem_);
        if (!json) return;
        for (const auto* key : {"library", "games"}) {
            const auto* games = arrayOf(*json, key);
            if (games == nullptr) continue;
            for (const auto& game : *games) {
                const std::string appName = game.text("app_name");
                if (appName.empty()) continue;
                if (entries_.size() >= kMaxHeroicEntries && entries_.count(runner + "/" + appName) == 0) return;
                HeroicEntry& entry = entries_[runner + "/" + appName];
                if (entry.title.empty()) entry.title = game.text("title");
                for (const auto* art : {"art_square", "art_cover", "art_icon"})
                    if (const std::string url = game.text(art); !url.empty()) entry.art.push_back(url);
                for (const auto* art : {"art_square", "art_cover", "art_background"})
                    if (const std::string url = game.text(art); !url.empty()) entry.pictures.push_back(url);
            }
        }
    }

    const HeroicEntry* entry(const std::string& runner, const std::string& appName) const {
        const auto it = entries_.find(runner + "/" + appName);
        return it == entries_.end() ? nullptr : &it->second;
    }

    // Heroic keeps downloaded art in images-cache/, each file named by the
    // SHA-256 of its URL; side-loaded games may name a local picture instead.
    void addArt(std::vector<IconSource>& icons, const std::string& url) const {
        if (url.rfind("file://", 0) == 0) return addIfFile(icons, url.substr(7));
        if (!url.empty() && url[0] == '/') return addIfFile(icons, url);
        const auto it = cached_.find(sha256Hex(url));
        if (it != cached_.end()) addIfFile(icons, it->second);
    }

    void addPictureOf(std::vector<std::string>& pictures, const std::string& url) const {
        if (url.rfind("file://", 0) == 0) return addPicture(pictures, url.substr(7));
        if (!url.empty() && url[0] == '/') return addPicture(pictures, url);
        const auto it = cached_.find(sha256Hex(url));
        if (it != cached_.end()) addPicture(pictures, it->second);
    }


private:
    fs::path root_;
    std::string& problem_;
    std::map<std::string, fs::path> cached_;
    std::map<std::string, HeroicEntry> entries_;
};

// Heroic's own URI: heroic://launch/<runner>/<appName>, the name
// percent-encoded where it is not a plain URI character.
std::string heroicUri(const std::string& runner, const std::string& appName) {
    std::string uri = "heroic://launch/" + runner + "/";
    static const char* const kHex = "0123456789ABCDEF";
    for (const unsigned char c : appName) {
        if (std::isalnum(c) || c == '-' || c == '_' || c == '.' || c == '~') {
            uri += static_cast<char>(c);
        } else {
            uri += '%';
            uri += kHex[c >> 4];
            uri += kHex[c & 15];
        }
    }
    return uri;
}

void addHeroicGame(const HeroicConfig& config, StoreLibrary& library, std::set<std::string>& seen,
                   const std::string& runner, const std::string& appName, std::string title,
                   const std::string& folder, const std::vector<std::string>& ownArt = {}) {
    if (appName.empty() || full(library)) return;
    const HeroicEntry* known = config.entry(runner, appName);
    if (title.empty() && known != nullptr) title = known->title;
    if (title.empty()) title = fs::path(folder).filename().string();
    if (title.empty()) title = appName;
    StoreGame game;
    game.name = std::move(title);
    game.exe_path = heroicUri(runner, appName);
    if (!seen.insert(game.exe_path).second) return;
    game.folder_path = folder;
    for (const auto& url : ownArt) {
        config.addArt(game.icons, url);
        config.addPictureOf(game.pictures, url);
    }
    if (known != nullptr) {
        for (const auto& url : known->art) config.addArt(game.icons, url);
        for (const auto& url : known->pictures) config.addPictureOf(game.pictures, url);
    }
    addGame(library, std::move(game));
}

void readHeroicConfig(const fs::path& root, StoreLibrary& library, std::set<std::string>& seen) {
    std::string& problem = library.problem;
    HeroicConfig config(root, problem);
    config.learn("legendary", "store_cache/legendary_library.json");
    config.learn("gog", "store_cache/gog_library.json");
    config.learn("gog", "gog_store/library.json");
    config.learn("nile", "store_cache/nile_library.json");

    // Epic, through Legendary: an object keyed by app name.
    if (const auto installed = readJson(root / "legendaryConfig/legendary/installed.json", problem)) {
        for (const auto& [appName, game] : installed->members) {
            if (game.flag("is_dlc", false)) continue;
            const std::string name = game.text("app_name").empty() ? appName : game.text("app_name");
            addHeroicGame(config, library, seen, "legendary", name, game.text("title"), game.text("install_path"));
        }
    }
    if (const auto installed = readJson(root / "gog_store/installed.json", problem)) {
        if (const auto* games = arrayOf(*installed, "installed")) {
            for (const auto& game : *games) {
                if (game.flag("is_dlc", false)) continue;
                addHeroicGame(config, library, seen, "gog", game.text("appName"), {}, game.text("install_path"));
            }
        }
    }
    // Amazon, through Nile: a plain array.
    if (const auto installed = readJson(root / "nile_config/nile/installed.json", problem)) {
        if (const auto* games = arrayOf(*installed, nullptr))
            for (const auto& game : *games)
                addHeroicGame(config, library, seen, "nile", game.text("id"), {}, game.text("path"));
    }
    if (const auto sideloaded = readJson(root / "sideload_apps/library.json", problem)) {
        if (const auto* games = arrayOf(*sideloaded, "games")) {
            for (const auto& game : *games) {
                if (!game.flag("is_installed", true)) continue;
                std::string folder = game.text("folder_name");
                if (folder.empty()) {
                    if (const JsonValue* install = game.member("install"))
                        folder = fs::path(install->text("executable")).parent_path().string();
                }
                addHeroicGame(config, library, seen, "sideload", game.text("app_name"), game.text("title"), folder,
                              {game.text("art_square"), game.text("art_cover")});
            }
        }
    }
}

}  // namespace

bool isSteamTool(std::string_view appId, std::string_view name) {
    if (kSteamToolIds.count(appId) != 0) return true;
    const auto startsWith = [&](std::string_view prefix) { return name.substr(0, prefix.size()) == prefix; };
    if (startsWith("Steam Linux Runtime") || startsWith("Steamworks Common Redistributables")) return true;
    // "Proton 9.0", "Proton Experimental", "Proton Hotfix", "Proton EasyAntiCheat Runtime" ...
    if (startsWith("Proton ")) {
        const std::string_view rest = name.substr(7);
        if (!rest.empty() && rest[0] >= '0' && rest[0] <= '9') return true;
        for (const auto* word : {"Experimental", "Hotfix", "Next", "BattlEye Runtime", "EasyAntiCheat Runtime"})
            if (rest == word) return true;
    }
    return false;
}

std::optional<StoreLibrary> readSteam(const std::string& home) {
    const auto roots = steamRoots(home);
    if (roots.empty()) return std::nullopt;
    StoreLibrary library{StoreKind::Steam, "Steam", {}, {}};
    std::set<std::string> seenLibraries, seenGames;
    for (const auto& root : roots) {
        for (const auto& folder : steamLibraries(root, library.problem)) {
            if (!isDir(folder / "steamapps") || !seenLibraries.insert(identity(folder)).second) continue;
            for (const auto& name : sortedNames(folder / "steamapps")) {
                if (name.rfind("appmanifest_", 0) != 0 || fs::path(name).extension() != ".acf") continue;
                auto game = steamGame(home, root, folder, folder / "steamapps" / name, library.problem);
                if (game && seenGames.insert(game->exe_path).second && !addGame(library, std::move(*game)))
                    return library;
            }
        }
    }
    return library;
}

std::optional<StoreLibrary> readLutris(const std::string& home) {
    const fs::path h(home);
    const fs::path flatpak = h / ".var/app/net.lutris.Lutris";
    const LutrisPlace places[] = {{h / ".local/share/lutris", h / ".cache/lutris", h / ".local/share/icons"},
                                  {flatpak / "data/lutris", flatpak / "cache/lutris", flatpak / "data/icons"}};
    std::optional<StoreLibrary> library;
    std::set<std::string> seen;
    for (const auto& place : places) {
        if (!isFile(place.data / "pga.db")) continue;
        if (!library) library = StoreLibrary{StoreKind::Lutris, "Lutris", {}, {}};
        readLutrisDatabase(place, *library, seen);
    }
    return library;
}

std::optional<StoreLibrary> readHeroic(const std::string& home) {
    const fs::path h(home);
    const fs::path roots[] = {h / ".config/heroic", h / ".var/app/com.heroicgameslauncher.hgl/config/heroic"};
    std::optional<StoreLibrary> library;
    std::set<std::string> seen, seenRoots;
    for (const auto& root : roots) {
        if (!isDir(root) || !seenRoots.insert(identity(root)).second) continue;
        if (!library) library = StoreLibrary{StoreKind::Heroic, "Heroic", {}, {}};
        readHeroicConfig(root, *library, seen);
    }
    return library;
}

std::optional<StoreLibrary> readMenuGames(const std::vector<std::string>& dataDirs) {
    std::optional<StoreLibrary> library;
    // Desktop id -> file: an id found in an earlier folder masks the same id
    // further down, so a user's copy marked Hidden hides the system's entry.
    std::map<std::string, fs::path> entries;
    std::size_t files = 0;
    for (const auto& dir : dataDirs) {
        const fs::path applications = fs::path(dir) / "applications";
        if (dir.empty() || !isDir(applications)) continue;
        if (!library) library = StoreLibrary{StoreKind::Menu, "应用菜单中的游戏", {}, {}};
        // Sub-folders make ids with "-" ("kde4/foo.desktop" is "kde4-foo.desktop").
        std::vector<std::pair<fs::path, std::string>> pending{{applications, ""}};
        while (!pending.empty() && files < 8 * kMaxStoreGames) {
            const auto [folder, prefix] = pending.back();
            pending.pop_back();
            for (const auto& name : sortedNames(folder)) {
                const fs::path path = folder / name;
                std::error_code ec;
                const auto status = fs::symlink_status(path, ec);
                if (ec) continue;
                if (fs::is_directory(status)) {
                    if (prefix.size() < 64) pending.emplace_back(path, prefix + name + "-");
                } else if (name.size() > 8 && name.ends_with(".desktop") && ++files <= 8 * kMaxStoreGames) {
                    entries.emplace(prefix + name, path);
                }
            }
        }
    }
    if (!library) return library;
    std::set<std::pair<std::string, std::string>> seen;
    for (const auto& [id, path] : entries) {
        if (id == kDesktopEntryName) continue;  // this launcher is filed as a game too
        auto shortcut = readShortcut(path.string());
        if (!shortcut || std::find(shortcut->categories.begin(), shortcut->categories.end(), "Game") ==
                             shortcut->categories.end())
            continue;
        if (!seen.emplace(shortcut->exe_path, shortcut->launch_args).second) continue;
        StoreGame game;
        game.name = std::move(shortcut->name);
        game.exe_path = std::move(shortcut->exe_path);
        game.launch_args = std::move(shortcut->launch_args);
        game.folder_path = std::move(shortcut->folder_path);
        game.installed = shortcut->modified;
        game.icons = std::move(shortcut->icons);
        if (!addGame(*library, std::move(game))) break;
    }
    return library;
}

std::vector<std::string> menuDataDirs(const std::string& home) {
    const auto variable = [](const char* name) {
        const char* value = std::getenv(name);
        return std::string(value != nullptr ? value : "");
    };
    std::vector<std::string> dirs;
    const auto add = [&](std::string dir) {
        while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
        // Relative folders are invalid in these variables and ignored.
        if (!dir.empty() && dir[0] == '/' && std::find(dirs.begin(), dirs.end(), dir) == dirs.end())
            dirs.push_back(std::move(dir));
    };
    const std::string dataHome = variable("XDG_DATA_HOME");
    if (!dataHome.empty() && dataHome[0] == '/')
        add(dataHome);
    else if (!home.empty())
        add(home + "/.local/share");
    std::string dataDirs = variable("XDG_DATA_DIRS");
    if (dataDirs.empty()) dataDirs = "/usr/local/share:/usr/share";
    std::stringstream list(dataDirs);
    for (std::string dir; std::getline(list, dir, ':');) add(dir);
    // Flatpak and Snap add these to the session's variable; a launcher
    // started from elsewhere may not have them.
    if (!home.empty()) add(home + "/.local/share/flatpak/exports/share");
    add("/var/lib/flatpak/exports/share");
    add("/var/lib/snapd/desktop");
    return dirs;
}

std::vector<StoreLibrary> findStores(const std::string& home, const std::vector<std::string>& menuDirs) {
    std::vector<StoreLibrary> stores;
    if (!home.empty())
        for (auto reader : {readSteam, readLutris, readHeroic})
            if (auto library = reader(home)) stores.push_back(std::move(*library));
    if (auto menu = readMenuGames(menuDirs)) stores.push_back(std::move(*menu));
    return stores;
}

}  // namespace ludexa
