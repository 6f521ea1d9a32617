// Store imports on fake home folders: Steam (native and Flatpak, two
// libraries, tools, a download in progress), Lutris's pga.db and Heroic's
// lists for each runner; the rows of data.db after one import and after a
// second one.
#include <gtest/gtest.h>

#include <SFML/Graphics/Image.hpp>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>

#include "library/database.h"
#include "library/icons.h"
#include "library/launch.h"
#include "library/store_import.h"
#include "library/stores.h"
#include "platform/json.h"

using namespace ludexa;
namespace fs = std::filesystem;

namespace {

struct FakeHome {
    fs::path root = fs::temp_directory_path() / ("ludexa_stores_" + std::to_string(::getpid()) + "_" +
                                                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::path home = root / "home";
    FakeHome() { fs::create_directories(home); }
    ~FakeHome() { fs::remove_all(root); }

    void write(const fs::path& path, const std::string& text) const {
        fs::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << text;
    }
    // A 256 x 256 picture of one colour, whatever the file's extension says:
    // the colour tells which file became a game's icon.
    void picture(const fs::path& path, std::uint8_t red) const {
        RgbaImage image;
        image.width = image.height = 256;
        for (int i = 0; i < 256 * 256; ++i) image.pixels.insert(image.pixels.end(), {red, 10, 20, 255});
        const auto png = encodePng(image);
        write(path, std::string(png.begin(), png.end()));
    }
    void manifest(const fs::path& library, const std::string& appId, const std::string& name, int flags,
                  const std::string& updated = "1700000000") const {
        write(library / "steamapps" / ("appmanifest_" + appId + ".acf"),
              "\"AppState\"\n{\n\t\"appid\"\t\t\"" + appId + "\"\n\t\"name\"\t\t\"" + name + "\"\n\t\"StateFlags\"\t\t\"" +
                  std::to_string(flags) + "\"\n\t\"installdir\"\t\t\"" + name + "\"\n\t\"LastUpdated\"\t\t\"" + updated +
                  "\"\n}\n");
    }

    fs::path nativeSteam() const { return home / ".local/share/Steam"; }
    fs::path flatpakSteam() const { return home / ".var/app/com.valvesoftware.Steam/.local/share/Steam"; }
    fs::path externalLibrary() const { return root / "disk/SteamLibrary"; }

    void buildSteam() const {
        const fs::path native = nativeSteam();
        write(native / "steamapps/libraryfolders.vdf",
              "\"libraryfolders\"\n{\n\t\"0\"\n\t{\n\t\t\"path\"\t\t\"" + native.string() +
                  "\"\n\t}\n\t\"1\"\n\t{\n\t\t\"path\"\t\t\"" + externalLibrary().string() + "\"\n\t}\n}\n");
        manifest(native, "620", "Portal 2", 4);
        manifest(native, "1493710", "Proton Experimental", 4);             // a tool, by its id
        manifest(native, "228980", "Steamworks Common Redistributables", 4);
        manifest(native, "3999990", "Proton 12.0", 4);                     // a later tool, by its name
        manifest(native, "1145360", "Hades", 1026);                        // still downloading
        write(native / "steamapps/appmanifest_999.acf", "\"AppState\" { \"appid\" \"999\"");  // cut short
        manifest(externalLibrary(), "70", "Half-Life", 6);                 // installed, update pending
        picture(native / "appcache/librarycache/620_icon.jpg", 200);
        picture(native / "appcache/librarycache/620_header.jpg", 201);
        picture(home / ".local/share/icons/hicolor/256x256/apps/steam_icon_70.png", 202);
        // The usual link from ~/.steam/steam to the same installation.
        fs::create_directories(home / ".steam");
        fs::create_directory_symlink(native, home / ".steam/steam");

        const fs::path flatpak = flatpakSteam();
        manifest(flatpak, "400", "Portal", 4, "0");
        manifest(flatpak, "620", "Portal 2", 4);  // also in the native library: read once
        picture(flatpak / "appcache/librarycache/400" / "0123456789abcdef0123456789abcdef01234567.jpg", 203);
        picture(flatpak / "appcache/librarycache/400/library_600x900.jpg", 204);
    }

    void buildLutris() const {
        const fs::path data = home / ".local/share/lutris";
        fs::create_directories(data);
        auto db = Database::open((data / "pga.db").string());
        ASSERT_TRUE(db);
        ASSERT_TRUE(db->exec(
            "CREATE TABLE games (id INTEGER PRIMARY KEY, name TEXT, slug TEXT, installer_slug TEXT, runner TEXT, "
            "directory TEXT, installed INTEGER, installed_at INTEGER, lastplayed INTEGER, hidden INTEGER);"
            "INSERT INTO games VALUES (1, 'Celeste', 'celeste', 'x', 'linux', '/games/celeste', 1, 1600000000, 0, 0);"
            "INSERT INTO games VALUES (2, 'Removed Game', 'removed', 'x', 'wine', '', 0, NULL, 0, 0);"
            "INSERT INTO games VALUES (7, '仙剑奇侠传', 'pal', 'x', 'wine', '/games/pal', 1, NULL, 0, 0);"));
        picture(home / ".local/share/icons/hicolor/128x128/apps/lutris_celeste.png", 210);
        picture(home / ".cache/lutris/coverart/pal.jpg", 211);
    }

    void buildHeroic() const {
        const fs::path config = home / ".config/heroic";
        write(config / "legendaryConfig/legendary/installed.json",
              R"({"Fortnite": {"app_name": "Fortnite", "title": "Fortnite", "install_path": "/games/Heroic/Fortnite",
                  "is_dlc": false, "version": "1"},
                  "SomeDlc": {"app_name": "SomeDlc", "title": "Extra", "install_path": "/games/x", "is_dlc": true}})");
        const std::string fortniteArt = "https://cdn1.epicgames.com/fortnite/square.jpg";
        write(config / "store_cache/legendary_library.json",
              R"({"library": [{"app_name": "Fortnite", "title": "Fortnite", "art_square": ")" + fortniteArt + "\"}]}");
        picture(config / "images-cache" / sha256Hex(fortniteArt), 220);
        write(config / "gog_store/installed.json",
              R"({"installed": [{"appName": "1207658924", "install_path": "/games/Heroic/Witcher", "is_dlc": false,
                  "platform": "windows"}]})");
        write(config / "store_cache/gog_library.json",
              R"({"games": [{"app_name": "1207658924", "title": "The Witcher: Enhanced Edition"}]})");
        write(config / "nile_config/nile/installed.json",
              R"([{"id": "amzn1.adg.product.1234", "path": "/games/Heroic/Amazon Thing", "version": "2"}])");
        picture(root / "own art.png", 221);
        write(config / "sideload_apps/library.json",
              R"({"games": [{"runner": "sideload", "app_name": "a1 b/2", "title": "自制游戏", "is_installed": true,
                  "install": {"executable": "/games/own/start.sh", "platform": "linux"},
                  "art_square": ")" + (root / "own art.png").string() + R"("},
                  {"runner": "sideload", "app_name": "gone", "title": "Gone", "is_installed": false,
                  "folder_name": "/games/gone"}]})");
    }
};

struct Row {
    std::string name, exe_path, folder_path, launch_args, category, created_at;
    int iconRed = -1;  // the red channel of the stored icon's middle pixel; -1 without icon
    bool operator==(const Row&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Row& r) {
    return out << r.name << " | " << r.exe_path << " | " << r.folder_path << " | [" << r.launch_args << "] | ["
               << r.category << "] | " << r.created_at << " | " << r.iconRed;
}

std::vector<Row> rows(const std::string& dbPath) {
    std::vector<Row> out;
    auto db = Database::open(dbPath, false);
    auto stmt = db->prepare(
        "SELECT name, exe_path, folder_path, launch_args, category, created_at, icon FROM games ORDER BY id");
    while (stmt->step() == SQLITE_ROW) {
        Row r{stmt->columnText(0), stmt->columnText(1), stmt->columnText(2), stmt->columnText(3),
              stmt->columnText(4), stmt->columnText(5)};
        const auto blob = stmt->columnBlob(6);
        sf::Image icon;
        if (!blob.empty() && icon.loadFromMemory(blob.data(), blob.size()))
            r.iconRed = icon.getPixel(icon.getSize().x / 2, icon.getSize().y / 2).r;
        out.push_back(r);
    }
    return out;
}

}  // namespace

TEST(Stores, NothingInstalledFindsNothing) {
    FakeHome fake;
    EXPECT_TRUE(findStores(fake.home.string()).empty());
    EXPECT_TRUE(findStores("").empty());
    // Installed but empty, or with unreadable lists: listed, without games.
    fs::create_directories(fake.home / ".config/heroic");
    fake.write(fake.home / ".config/heroic/gog_store/installed.json", "{\"installed\": [");
    fake.write(fake.home / ".local/share/lutris/pga.db", "not a database");
    fs::create_directories(fake.nativeSteam() / "steamapps");
    fake.write(fake.nativeSteam() / "steamapps/libraryfolders.vdf", "\"libraryfolders\" {");
    const auto stores = findStores(fake.home.string());
    ASSERT_EQ(stores.size(), 3u);
    for (const auto& store : stores) EXPECT_TRUE(store.games.empty()) << store.label;
}

TEST(Stores, SteamToolsAreNotGames) {
    for (const auto* name : {"Proton 8.0", "Proton 12.0", "Proton Experimental", "Proton EasyAntiCheat Runtime",
                             "Steam Linux Runtime 3.0 (sniper)", "Steamworks Common Redistributables"})
        EXPECT_TRUE(isSteamTool("1", name)) << name;
    for (const auto* name : {"Portal 2", "Protonwar", "Proton", "Proton Rush", "Steam Controller Wars"})
        EXPECT_FALSE(isSteamTool("1", name)) << name;
    EXPECT_TRUE(isSteamTool("1628350", "anything"));
}

TEST(StoreImport, EveryStoreRowByRowThenNothingNew) {
    FakeHome fake;
    fake.buildSteam();
    fake.buildLutris();
    fake.buildHeroic();
    const auto stores = findStores(fake.home.string());
    ASSERT_EQ(stores.size(), 3u);
    EXPECT_EQ(stores[0].label, "Steam");
    EXPECT_EQ(stores[1].label, "Lutris");
    EXPECT_EQ(stores[2].label, "Heroic");

    const std::string dbPath = (fake.root / "data.db").string();
    ASSERT_TRUE(initDatabase(dbPath));
    // A shortcut the user imported earlier that starts Portal 2 the same way.
    ASSERT_TRUE(Database::open(dbPath, false)->exec(
        "INSERT INTO games (name, exe_path, launch_args, created_at) VALUES ('P2', 'steam://rungameid/620', '', 'x')"));
    std::set<GameKey> known = *libraryKeys(dbPath);
    EXPECT_EQ(countNewGames(stores[0], known), 2);  // Half-Life, Portal (Portal 2 is there)
    EXPECT_EQ(storeChoiceLabel(stores[0], 2), "Steam（2 个新游戏）");

    const std::time_t now = 1750000000;
    const auto icons = makeIconLoader();
    int added = 0;
    for (const auto& store : stores) added += static_cast<int>(importStoreGames(store.games, dbPath, *icons, now).games.size());
    EXPECT_EQ(added, 8);

    const std::string steam = fake.nativeSteam().string(), ext = fake.externalLibrary().string();
    const std::string flatpak = fake.flatpakSteam().string();
    const std::string steamTime = localTimeText(1700000000), nowText = localTimeText(now);
    const std::vector<Row> expected = {
        {"P2", "steam://rungameid/620", "", "", "", "x", -1},
        {"Half-Life", "steam://rungameid/70", ext + "/steamapps/common/Half-Life", "", "", steamTime, 202},
        {"Portal", "steam://rungameid/400", flatpak + "/steamapps/common/Portal", "", "", nowText, 203},
        {"Celeste", "lutris:rungameid/1", "/games/celeste", "", "", localTimeText(1600000000), 210},
        {"仙剑奇侠传", "lutris:rungameid/7", "/games/pal", "", "", nowText, 211},
        {"Fortnite", "heroic://launch/legendary/Fortnite", "/games/Heroic/Fortnite", "", "", nowText, 220},
        {"The Witcher: Enhanced Edition", "heroic://launch/gog/1207658924", "/games/Heroic/Witcher", "", "", nowText, -1},
        {"Amazon Thing", "heroic://launch/nile/amzn1.adg.product.1234", "/games/Heroic/Amazon Thing", "", "", nowText, -1},
        {"自制游戏", "heroic://launch/sideload/a1%20b%2F2", "/games/own", "", "", nowText, 221},
    };
    // Portal 2 was known, so the native library's own rows start at Half-Life.
    auto got = rows(dbPath);
    ASSERT_EQ(got.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(got[i], expected[i]) << "row " << i;
    // Each store's URI is handed to the desktop's handler for it, never run as a program.
    LaunchEnvironment nothingInstalled;
    nothingInstalled.findProgram = [](const std::string&) { return std::string(); };
    nothingInstalled.classify = [](const std::string&) { return FileKind{}; };
    nothingInstalled.windowsToUnix = [](const std::string&) { return std::string(); };
    for (const auto& row : got) {
        const auto plan = planLaunch(row.exe_path, row.launch_args, row.folder_path, nothingInstalled);
        EXPECT_EQ(plan.method, LaunchMethod::DefaultHandler) << row.exe_path;
        EXPECT_EQ(plan.target, row.exe_path);
    }

    // Portal 2's pictures, read from its library cache in the order they are tried.
    const auto steamAgain = readSteam(fake.home.string());
    ASSERT_TRUE(steamAgain);
    ASSERT_EQ(steamAgain->games.size(), 3u);
    EXPECT_EQ(steamAgain->games[0].icons.size(), 2u);  // Portal 2: its icon, then its header
    EXPECT_EQ(steamAgain->games[0].icons[0].value, steam + "/appcache/librarycache/620_icon.jpg");

    // A second import finds nothing new and stores nothing.
    known = *libraryKeys(dbPath);
    for (const auto& store : findStores(fake.home.string())) {
        EXPECT_EQ(countNewGames(store, known), 0) << store.label;
        EXPECT_EQ(storeChoiceLabel(store, 0), store.label + "（没有新游戏）");
        EXPECT_TRUE(importStoreGames(store.games, dbPath, *icons, now).games.empty());
    }
    EXPECT_EQ(rows(dbPath), got);
}

TEST(StoreImport, LibraryThatCannotBeReadStoresNothing) {
    FakeHome fake;
    fake.buildLutris();
    const auto lutris = readLutris(fake.home.string());
    ASSERT_TRUE(lutris);
    const auto icons = makeIconLoader();
    EXPECT_TRUE(importStoreGames(lutris->games, (fake.root / "missing.db").string(), *icons, 0).games.empty());
    EXPECT_FALSE(fs::exists(fake.root / "missing.db"));  // never created by an import
}
