// Store imports from the fake home of tests/data/stores and the menu of tests/data/menu.
#include <gtest/gtest.h>

#include <SFML/Graphics/Image.hpp>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <thread>

#include "library/database.h"
#include "library/icons.h"
#include "library/launch.h"
#include "library/store_import.h"
#include "library/stores.h"
#include "platform/json.h"
#include "temp_dir.h"

using namespace ludexa;
namespace fs = std::filesystem;

namespace {

const fs::path kData = LUDEXA_TEST_DATA;

std::string readBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The fixture tree copied into a folder of the test's own; @ROOT@ in the files
// that name absolute paths becomes that folder.
struct FakeHome {
    test::ScopedTempDir temp{"ludexa_stores"};
    fs::path root = temp.path();
    fs::path home = root / "home";
    FakeHome() { fs::create_directories(home); }

    void write(const fs::path& path, const std::string& text) const {
        fs::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << text;
    }

    fs::path nativeSteam() const { return home / ".local/share/Steam"; }
    fs::path flatpakSteam() const { return home / ".var/app/com.valvesoftware.Steam/.local/share/Steam"; }

    void copyStores() const {
        fs::copy(kData / "stores", root, fs::copy_options::recursive | fs::copy_options::overwrite_existing);
        for (const char* name : {"home/.local/share/Steam/steamapps/libraryfolders.vdf",
                                 "home/.config/heroic/sideload_apps/library.json"}) {
            std::string text = readBytes(root / name);
            for (auto at = text.find("@ROOT@"); at != std::string::npos; at = text.find("@ROOT@"))
                text.replace(at, 6, root.string());
            write(root / name, text);
        }
        // The usual link from ~/.steam/steam to the same installation.
        fs::create_directories(home / ".steam");
        fs::create_directory_symlink(nativeSteam(), home / ".steam/steam");
    }
    // The menu's folders, the user's first.
    std::vector<std::string> menuDirs() const {
        return {(kData / "menu/home").string(), (kData / "menu/usr").string(), (kData / "menu/flatpak").string()};
    }
};

struct Row {
    std::string name, exe_path, folder_path, launch_args, category, created_at;
    int iconRed = -1;  // the red channel of the stored icon's middle pixel; -1 without icon, -2 any
    bool operator==(const Row& o) const {
        return std::tie(name, exe_path, folder_path, launch_args, category, created_at) ==
                   std::tie(o.name, o.exe_path, o.folder_path, o.launch_args, o.category, o.created_at) &&
               (iconRed == o.iconRed || iconRed == -2 || o.iconRed == -2);
    }
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

// Every picture folder under media/ and its files, by name.
std::map<std::string, std::vector<std::string>> mediaFiles(const fs::path& media) {
    std::map<std::string, std::vector<std::string>> out;
    if (!fs::exists(media)) return out;
    for (const auto& folder : fs::directory_iterator(media)) {
        auto& names = out[folder.path().filename().string()];
        for (const auto& file : fs::directory_iterator(folder.path())) names.push_back(file.path().filename().string());
        std::sort(names.begin(), names.end());
    }
    return out;
}

std::string modifiedText(const fs::path& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? localTimeText(st.st_mtime) : std::string();
}

}  // namespace

TEST(Stores, SteamToolsAreNotGames) {
    for (const auto* name : {"Proton 8.0", "Proton 12.0", "Proton Experimental", "Proton EasyAntiCheat Runtime",
                             "Steam Linux Runtime 3.0 (sniper)", "Steamworks Common Redistributables"})
        EXPECT_TRUE(isSteamTool("1", name)) << name;
    for (const auto* name : {"Portal 2", "Protonwar", "Proton", "Proton Rush", "Steam Controller Wars"})
        EXPECT_FALSE(isSteamTool("1", name)) << name;
    EXPECT_TRUE(isSteamTool("1628350", "anything"));
}

TEST(StoreImport, EveryStoreRowByRowWithItsPicturesThenNothingNew) {
    FakeHome fake;
    fake.copyStores();
    const auto stores = findStores(fake.home.string(), fake.menuDirs());
    ASSERT_EQ(stores.size(), 4u);

    const std::string dbPath = (fake.root / "data.db").string();
    const fs::path media = fake.root / "media";
    ASSERT_TRUE(initDatabase(dbPath));
    // Half-Life imported earlier as a shortcut, and the user's own picture for Celeste.
    ASSERT_TRUE(Database::open(dbPath, false)->exec(
        "INSERT INTO games (name, exe_path, launch_args, created_at) VALUES ('HL', 'steam://rungameid/70', '', 'x')"));
    fake.write(media / "Celeste/mine.png", readBytes(kData / "stores/own_art.png"));
    std::set<GameKey> known = *libraryKeys(dbPath);
    std::vector<std::string> labels;
    for (const auto& store : stores) labels.push_back(storeChoiceLabel(store, countNewGames(store, known)));
    // The cut manifest is named; Proton, the runtimes and the download are not games.
    EXPECT_EQ(labels, (std::vector<std::string>{"Steam（4 个新游戏；部分无法读取：appmanifest_999.acf 无法解析）",
                                                "Lutris（2 个新游戏）", "Heroic（4 个新游戏）",
                                                "应用菜单中的游戏（4 个新游戏）"}));

    const std::time_t now = 1750000000;
    const auto icons = makeIconLoader();
    const std::string mediaRoot = media.string() + "/";
    int added = 0;
    for (const auto& store : stores) {
        const auto stored = importStoreGames(store.games, dbPath, mediaRoot, *icons, now);
        added += static_cast<int>(stored.games.size());
        EXPECT_TRUE(stored.refused.done()) << store.label;
    }
    EXPECT_EQ(added, 14);

    const std::string steam = fake.nativeSteam().string(), flatpak = fake.flatpakSteam().string();
    const std::string steamTime = localTimeText(1700000000), nowText = localTimeText(now);
    const fs::path menu = kData / "menu";
    const std::vector<Row> expected = {
        {"HL", "steam://rungameid/70", "", "", "", "x", -1},
        // Install folders outside their library are no folders at all.
        {"Escape Artist", "steam://rungameid/4000", "", "", "", steamTime, -1},
        {"Rooted", "steam://rungameid/4001", "", "", "", steamTime, -1},
        {"Portal 2", "steam://rungameid/620", steam + "/steamapps/common/Portal 2", "", "", steamTime, 200},
        {"Portal", "steam://rungameid/400", flatpak + "/steamapps/common/Portal", "", "", nowText, 203},
        {"Celeste", "lutris:rungameid/1", "/games/celeste", "", "", localTimeText(1600000000), 210},
        {"仙剑奇侠传", "lutris:rungameid/7", "/games/pal", "", "", nowText, 211},
        {"Fortnite", "heroic://launch/legendary/Fortnite", "/games/Heroic/Fortnite", "", "", nowText, 220},
        {"The Witcher: Enhanced Edition", "heroic://launch/gog/1207658924", "/games/Heroic/Witcher", "", "", nowText, -1},
        {"Amazon Thing", "heroic://launch/nile/amzn1.adg.product.1234", "/games/Heroic/Amazon Thing", "", "", nowText, -1},
        {"自制游戏", "heroic://launch/sideload/a1%20b%2F2", "/games/own", "", "", nowText, 221},
        // The menu's games as 添加游戏 stores them; hidden, masked, tools and this launcher stay out.
        {"Flat Racer", "/usr/bin/flatpak", "/usr/bin", "run --branch=stable --arch=x86_64 --command=racer com.example.Flat",
         "", modifiedText(menu / "flatpak/applications/com.example.Flat.desktop"), -2},
        {"Puzzle", "/usr/games/puzzle", "/usr/games", "", "", modifiedText(menu / "usr/applications/games/puzzle.desktop"), -2},
        {"My Game", "/opt/My Game/run.sh", "/opt/My Game", "--windowed", "",
         modifiedText(menu / "home/applications/my-game.desktop"), -2},
        {"Chess", "/usr/games/chess", "/usr/games", "--fullscreen", "",
         modifiedText(menu / "usr/applications/org.example.Chess.desktop"), -2},
    };
    auto got = rows(dbPath);
    ASSERT_EQ(got.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(got[i], expected[i]) << "row " << i;
    // Each store's URI goes to the desktop's handler, even with an empty environment.
    for (std::size_t i = 0; i < 11; ++i) {
        const auto plan = planLaunch(got[i].exe_path, got[i].launch_args, got[i].folder_path, LaunchEnvironment{});
        EXPECT_EQ(plan.method, LaunchMethod::DefaultHandler) << got[i].exe_path;
        EXPECT_EQ(plan.target, got[i].exe_path);
    }

    // The cover first, the format from the bytes (Heroic names files by hash); Celeste keeps the user's own.
    const std::map<std::string, std::vector<std::string>> pictures = {
        {"Celeste", {"mine.png"}},
        {"Fortnite", {"store-1.png", "store-2.jpg"}},
        {"Portal", {"store-1.png", "store-2.png"}},
        {"Portal 2", {"store-1.jpg", "store-2.png", "store-3.png"}},
        {"仙剑奇侠传", {"store-1.png", "store-2.jpg"}},
        {"自制游戏", {"store-1.png"}},
    };
    EXPECT_EQ(mediaFiles(media), pictures);
    EXPECT_EQ(readBytes(media / "Portal 2/store-1.jpg"),
              readBytes(kData / "stores/home/.local/share/Steam/appcache/librarycache/620_library_600x900.jpg"));
    EXPECT_EQ(readBytes(media / "仙剑奇侠传/store-2.jpg"),
              readBytes(kData / "stores/home/.local/share/lutris/banners/pal.jpg"));

    // A second import finds nothing new, stores nothing and copies nothing.
    known = *libraryKeys(dbPath);
    for (const auto& store : findStores(fake.home.string(), fake.menuDirs())) {
        EXPECT_EQ(countNewGames(store, known), 0) << store.label;
        EXPECT_TRUE(importStoreGames(store.games, dbPath, mediaRoot, *icons, now).games.empty());
    }
    EXPECT_EQ(rows(dbPath), got);
    EXPECT_EQ(mediaFiles(media), pictures);
}

TEST(StoreImport, PicturesThatAreNoPicturesOrTooLargeAreNotCopied) {
    test::ScopedTempDir dir;
    const std::string root = dir / "media/";
    const std::string good = (kData / "stores/own_art.png").string();
    std::ofstream(dir / "text.jpg") << "not a picture";
    ::mkfifo((dir / "fifo.jpg").c_str(), 0644);
    std::ofstream(dir / "huge.png", std::ios::binary) << readBytes(good) << std::string(kMaxStorePictureBytes, 'x');
    EXPECT_EQ(copyStorePictures({dir / "text.jpg", dir / "fifo.jpg", dir / "huge.png", dir / "missing.png", good}, root,
                                "Game"),
              1);
    EXPECT_EQ(mediaFiles(dir.path() / "media").at("Game"), std::vector<std::string>{"store-1.png"});
    // Names that cannot be a folder get none.
    EXPECT_EQ(copyStorePictures({good}, root, "../escape"), 0);
    EXPECT_EQ(copyStorePictures({good}, root, ".."), 0);
}

TEST(StoreImport, StoresThatCannotBeReadSayWhy) {
    const struct {
        const char* what;
        std::function<void(const FakeHome&)> make;
        std::string label;
    } cases[] = {
        {"pga.db is no database",
         [](const FakeHome& f) { f.write(f.home / ".local/share/lutris/pga.db", std::string(4096, 'x')); },
         "Lutris（无法读取：不是数据库）"},
        {"pga.db lacks a column",
         [](const FakeHome& f) {
             f.write(f.home / ".local/share/lutris/pga.db", "");
             auto db = Database::open((f.home / ".local/share/lutris/pga.db").string());
             ASSERT_TRUE(db && db->exec("CREATE TABLE games (id INTEGER PRIMARY KEY, name TEXT, installed INTEGER)"));
         },
         "Lutris（无法读取：缺少所需的列）"},
        {"Heroic's list is cut",
         [](const FakeHome& f) { f.write(f.home / ".config/heroic/gog_store/installed.json", "{\"installed\": ["); },
         "Heroic（无法读取：installed.json 无法解析）"},
        {"Steam's library list is cut",
         [](const FakeHome& f) { f.write(f.nativeSteam() / "steamapps/libraryfolders.vdf", "\"libraryfolders\" {"); },
         "Steam（无法读取：libraryfolders.vdf 无法解析）"},
    };
    // Stores that are not installed are not listed, nor anything for no home.
    EXPECT_TRUE(findStores(FakeHome().home.string(), {"/no such folder"}).empty());
    EXPECT_TRUE(findStores("").empty());
    for (const auto& c : cases) {
        FakeHome fake;
        c.make(fake);
        const auto stores = findStores(fake.home.string());
        ASSERT_EQ(stores.size(), 1u) << c.what;
        EXPECT_TRUE(stores[0].games.empty()) << c.what;
        EXPECT_EQ(storeChoiceLabel(stores[0], countNewGames(stores[0], {})), c.label) << c.what;
    }
}

TEST(StoreImport, NestingIsCheckedOnTheTextBeforeParsing) {
    const auto nested = [](int depth, const std::string& inside = "") {
        return std::string(static_cast<std::size_t>(depth), '[') + inside + std::string(static_cast<std::size_t>(depth), ']');
    };
    EXPECT_TRUE(parseJson(nested(kMaxJsonDepth)));
    EXPECT_FALSE(jsonNestingWithin(nested(kMaxJsonDepth + 1), kMaxJsonDepth));
    EXPECT_FALSE(parseJson(nested(100'000)));  // refused before the parser recurses
    // Brackets inside strings, escaped quotes included, are text.
    const std::string text = "{\"a\": \"" + std::string(500, '[') + "\\\"{{{\"}";
    EXPECT_TRUE(jsonNestingWithin(text, 2));
    EXPECT_TRUE(parseJson(text));
    EXPECT_FALSE(jsonNestingWithin("[\"\\\"\", [[", 2));
}

TEST(StoreImport, HeldAndRefusedFilesSayWhy) {
    FakeHome fake;
    fake.copyStores();
    {
        // Lutris holding its database is reported after the busy wait.
        auto lutris = Database::open((fake.home / ".local/share/lutris/pga.db").string(), false);
        ASSERT_TRUE(lutris && lutris->exec("BEGIN EXCLUSIVE"));
        const auto library = readLutris(fake.home.string());
        ASSERT_TRUE(library);
        EXPECT_EQ(storeChoiceLabel(*library, 0), "Lutris（无法读取：数据库被占用）");
    }
    const auto heroic = readHeroic(fake.home.string());
    ASSERT_TRUE(heroic);
    const std::string dbPath = (fake.root / "data.db").string();
    const std::string mediaRoot = (fake.root / "media/").string();
    const auto icons = makeIconLoader();
    // A library that cannot be read is never created by an import.
    auto stored = importStoreGames(heroic->games, (fake.root / "missing.db").string(), mediaRoot, *icons, 0);
    EXPECT_TRUE(stored.games.empty());
    EXPECT_FALSE(fs::exists(fake.root / "missing.db"));
    EXPECT_EQ(stored.refused.code & 0xFF, SQLITE_CANTOPEN);

    // One row refused half-way refuses them all.
    ASSERT_TRUE(initDatabase(dbPath));
    ASSERT_TRUE(Database::open(dbPath, false)->exec(
        "CREATE TRIGGER refuse BEFORE INSERT ON games WHEN NEW.name = 'Amazon Thing' BEGIN SELECT RAISE(ABORT, 'no'); END"));
    stored = importStoreGames(heroic->games, dbPath, mediaRoot, *icons, 0);
    EXPECT_TRUE(stored.games.empty());
    EXPECT_EQ(writeFailureReason(stored.refused), "数据库拒绝了这次更改：no");
    EXPECT_TRUE(rows(dbPath).empty());
    EXPECT_TRUE(mediaFiles(fake.root / "media").empty());
}
