// Importing a folder of shortcuts into data.db: the stored fields, duplicates
// (program and arguments together), bad files among good ones, database
// failures, a folder of 5,000 entries, and appending the records to the list.
#include <gtest/gtest.h>

#include <SFML/Graphics/Image.hpp>
#include <unistd.h>

#include <chrono>
#include <thread>
#include <filesystem>
#include <fstream>

#include "library/database.h"
#include "library/icons.h"
#include "library/icon_cache.h"
#include "library/import.h"
#include "lnk_fixture.h"
#include "platform/shortcuts.h"

using namespace ludexa;
namespace fs = std::filesystem;

namespace {

class Library {
public:
    Library() {
        root_ = fs::temp_directory_path() / ("ludexa_import_" + std::to_string(::getpid()) + "_" +
                                             ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root_);
        fs::create_directories(root_ / "shortcuts");
        EXPECT_TRUE(initDatabase(db()));
    }
    ~Library() { fs::remove_all(root_); }

    std::string db() const { return (root_ / "data.db").string(); }
    std::string folder() const { return (root_ / "shortcuts").string(); }
    std::string path(const std::string& name) const { return (root_ / "shortcuts" / name).string(); }

    std::string write(const std::string& name, const std::string& text, std::time_t mtime = 0) const {
        std::ofstream(path(name), std::ios::binary) << text;
        if (mtime != 0)
            fs::last_write_time(path(name),
                                fs::file_time_type::clock::from_sys(std::chrono::system_clock::from_time_t(mtime)));
        return path(name);
    }
    void write(const std::string& name, const lnk_fixture::Bytes& bytes) const {
        write(name, std::string(bytes.begin(), bytes.end()));
    }
    void app(const std::string& name, const std::string& exec, const std::string& extra = "") const {
        write(name, "[Desktop Entry]\nType=Application\nExec=" + exec + "\n" + extra);
    }

    int count() const { return scalar("SELECT count(*) FROM games"); }
    int scalar(const std::string& sql) const {
        auto d = Database::open(db(), false);
        auto s = d->prepare(sql);
        return s && s->step() == SQLITE_ROW ? s->columnInt(0) : -1;
    }

private:
    fs::path root_;
};

// Gives every source the same small icon, or none at all.
class StubLoader : public IconLoader {
public:
    bool giveIcons = true;
    int loads = 0;
    std::optional<RgbaImage> load(const IconSource&, int size, IconFit) override {
        ++loads;
        if (!giveIcons) return std::nullopt;
        RgbaImage img;
        img.width = img.height = size == 256 ? 16 : size;  // a small jumbo, so the 96 one is used
        img.pixels.assign(static_cast<std::size_t>(img.width) * img.height * 4, 200);
        return img;
    }
};

std::string localTime(std::time_t t) {
    std::tm tm{};
    localtime_r(&t, &tm);
    char buf[32];
    std::strftime(buf, sizeof buf, "%Y-%m-%d %H:%M:%S", &tm);
    return buf;
}

lnk_fixture::Bytes windowsLink(const std::string& target, const std::string& args) {
    lnk_fixture::Link l;
    l.localPath = target;
    l.hasArguments = !args.empty();
    l.arguments = args;
    return lnk_fixture::build(l);
}

}  // namespace

TEST(Import, StoredRecordsCarryTheShortcutsFields) {
    Library lib;
    const std::time_t t1 = 1600000000, t2 = 1234567890;
    lib.write("Foo Game.desktop",
              "[Desktop Entry]\nType=Application\nName=Foo Game\nExec=\"/opt/Foo Game/foo\" --windowed %U\n", t1);
    lib.write("Bar.lnk", windowsLink("C:\\Games\\Bar\\bar.exe", "-w \"save 1\""));
    fs::last_write_time(lib.path("Bar.lnk"),
                        fs::file_time_type::clock::from_sys(std::chrono::system_clock::from_time_t(t2)));

    StubLoader icons;
    const auto added = importShortcutFolder(lib.folder(), lib.db(), icons);
    ASSERT_EQ(added.size(), 2u);
    // File-name order: "Bar.lnk" before "Foo Game.desktop".
    EXPECT_EQ(added[0].info.name, "Bar");
    EXPECT_EQ(added[1].info.name, "Foo Game");

    auto db = Database::open(lib.db(), false);
    auto rows = db->prepare(
        "SELECT id, name, exe_path, folder_path, category IS NULL, category, created_at, launch_args, last_played, "
        "play_count, save_dir, game_size, is_favorite, icon FROM games ORDER BY id");
    ASSERT_TRUE(rows);
    struct Expected {
        const char *name, *exe, *folder, *args;
        std::time_t when;
    } expected[] = {{"Bar", "C:\\Games\\Bar\\bar.exe", "C:\\Games\\Bar", "-w \"save 1\"", t2},
                    {"Foo Game", "/opt/Foo Game/foo", "/opt/Foo Game", "--windowed", t1}};
    for (std::size_t i = 0; i < 2; ++i) {
        ASSERT_EQ(rows->step(), SQLITE_ROW);
        const auto& e = expected[i];
        EXPECT_EQ(rows->columnInt(0), added[i].info.id);
        EXPECT_EQ(rows->columnText(1), e.name);
        EXPECT_EQ(rows->columnText(2), e.exe);
        EXPECT_EQ(rows->columnText(3), e.folder);
        EXPECT_EQ(rows->columnInt(4), 0) << "category is stored as '' rather than NULL";
        EXPECT_EQ(rows->columnText(5), "");
        EXPECT_EQ(rows->columnText(6), localTime(e.when));
        EXPECT_EQ(added[i].info.created_at, localTime(e.when));
        EXPECT_EQ(rows->columnText(7), e.args);
        EXPECT_TRUE(rows->isNull(8));
        EXPECT_EQ(rows->columnInt(9), 0);
        EXPECT_EQ(rows->columnText(10), "");
        EXPECT_EQ(rows->columnInt64(11), 0);
        EXPECT_EQ(rows->columnInt(12), 0);
        const auto blob = rows->columnBlob(13);
        sf::Image icon;
        ASSERT_TRUE(icon.loadFromMemory(blob.data(), blob.size()));
        EXPECT_EQ(icon.getSize(), sf::Vector2u(96, 96));
        ASSERT_TRUE(added[i].iconPng);
        EXPECT_TRUE(std::equal(blob.begin(), blob.end(), added[i].iconPng->begin(), added[i].iconPng->end()));
    }
    EXPECT_EQ(rows->step(), SQLITE_DONE);
}

TEST(Import, GameWithoutAnyIconIsStoredWithNull) {
    Library lib;
    lib.app("a.desktop", "/bin/a");
    StubLoader icons;
    icons.giveIcons = false;
    const auto added = importShortcutFolder(lib.folder(), lib.db(), icons);
    ASSERT_EQ(added.size(), 1u);
    EXPECT_FALSE(added[0].iconPng);
    EXPECT_EQ(lib.scalar("SELECT icon IS NULL FROM games"), 1);
}

TEST(Import, RealIconsAreStoredAsPng) {
    Library lib;
    // Artwork that fills the canvas: kept at 256 x 256.
    RgbaImage art;
    art.width = art.height = 256;
    for (int i = 0; i < 256 * 256; ++i) art.pixels.insert(art.pixels.end(), {static_cast<std::uint8_t>(i % 256), 90, 200, 255});
    const auto png = encodePng(art);
    std::ofstream(lib.path("art.png"), std::ios::binary).write(reinterpret_cast<const char*>(png.data()),
                                                               static_cast<std::streamsize>(png.size()));
    lib.app("Art.desktop", "/bin/art", "Icon=" + lib.path("art.png") + "\n");
    lib.app("Typed.desktop", "/bin/typed", "Icon=no-such-icon-ludexa\n");  // falls back to the program's type
    const auto loader = makeIconLoader();
    const auto added = importShortcutFolder(lib.folder(), lib.db(), *loader);
    ASSERT_EQ(added.size(), 2u);
    for (const auto& game : added) {
        ASSERT_TRUE(game.iconPng) << game.info.name;
        sf::Image decoded;
        ASSERT_TRUE(decoded.loadFromMemory(game.iconPng->data(), game.iconPng->size()));
        if (game.info.name == "Art") {
            EXPECT_EQ(decoded.getSize(), sf::Vector2u(256, 256));
        }
    }
}

TEST(Import, SameFolderTwiceAddsNothingTheSecondTime) {
    Library lib;
    lib.app("a.desktop", "/bin/a");
    lib.write("b.lnk", windowsLink("C:\\b.exe", "-x"));
    StubLoader icons;
    EXPECT_EQ(importShortcutFolder(lib.folder(), lib.db(), icons).size(), 2u);
    const int loadsAfterFirst = icons.loads;
    EXPECT_TRUE(importShortcutFolder(lib.folder(), lib.db(), icons).empty());
    EXPECT_EQ(lib.count(), 2);
    EXPECT_EQ(icons.loads, loadsAfterFirst) << "no icon work for shortcuts already in the library";
}

TEST(Import, OneProgramWithDifferentArgumentsIsManyGames) {
    Library lib;
    // Steam, an emulator and wine start many games through one program.
    lib.app("Portal.desktop", "/usr/games/steam steam://rungameid/400");
    lib.app("Half-Life.desktop", "/usr/games/steam steam://rungameid/70");
    lib.app("Also Portal.desktop", "/usr/games/steam steam://rungameid/400");  // same program and arguments
    lib.write("Mario.lnk", windowsLink("C:\\Emu\\emu.exe", "roms\\mario.nes"));
    lib.write("Zelda.lnk", windowsLink("C:\\Emu\\emu.exe", "roms\\zelda.nes"));
    StubLoader icons;
    const auto added = importShortcutFolder(lib.folder(), lib.db(), icons);
    std::vector<std::string> names;
    for (const auto& g : added) names.push_back(g.info.name);
    // "Also Portal" comes first in file-name order, so it is the one kept.
    EXPECT_EQ(names, (std::vector<std::string>{"Also Portal", "Half-Life", "Mario", "Zelda"}));
    EXPECT_EQ(lib.count(), 4);
}

TEST(Import, RowsWithNullArgumentsCountAsEmptyArguments) {
    Library lib;
    {
        auto db = Database::open(lib.db(), false);
        ASSERT_TRUE(db->exec("INSERT INTO games (name, exe_path, launch_args) VALUES ('old', 'C:\\a.exe', NULL)"));
    }
    lib.write("a.lnk", windowsLink("C:\\a.exe", ""));
    StubLoader icons;
    EXPECT_TRUE(importShortcutFolder(lib.folder(), lib.db(), icons).empty());
}

TEST(Import, BadFilesAreSkippedAndTheGoodOnesAroundThemImported) {
    Library lib;
    lib.app("1 good.desktop", "/bin/one");
    auto truncated = windowsLink("C:\\t.exe", "-a");
    truncated.resize(60);
    lib.write("2 truncated.lnk", truncated);
    auto oversized = windowsLink("C:\\o.exe", "");
    oversized.resize(kMaxShortcutBytes + 10, 0);
    lib.write("3 oversized.lnk", oversized);
    lib.write("4 no exec.desktop", "[Desktop Entry]\nType=Application\nName=x\n");
    lib.write("5 link.desktop", "[Desktop Entry]\nType=Link\nURL=https://example.com\n");
    lib.write("6 quoting.desktop", "[Desktop Entry]\nType=Application\nExec=\"/bin/x\n");
    lib.write("7 binary.desktop", std::string("\0\x01\x02\xff\xfe", 5));
    lib.write("8 utf8.desktop", "[Desktop Entry]\nType=Application\nExec=/bin/\xc3\x28\n");
    lib.write("9 good.lnk", windowsLink("C:\\nine.exe", ""));
    fs::create_directory(lib.path("folder.lnk"));
    fs::create_directory(lib.path("sub"));
    lib.app("sub/inner.desktop", "/bin/inner");
    StubLoader icons;
    const auto added = importShortcutFolder(lib.folder(), lib.db(), icons);
    ASSERT_EQ(added.size(), 2u);
    EXPECT_EQ(added[0].info.exe_path, "/bin/one");
    EXPECT_EQ(added[1].info.exe_path, "C:\\nine.exe");
    EXPECT_EQ(lib.count(), 2);
}

TEST(Import, ARefusedRowIsSkippedAndTheOthersStay) {
    Library lib;
    {
        auto db = Database::open(lib.db(), false);
        ASSERT_TRUE(db->exec("CREATE TRIGGER refuse BEFORE INSERT ON games WHEN NEW.name = 'b' "
                             "BEGIN SELECT RAISE(ABORT, 'no'); END"));
    }
    lib.app("a.desktop", "/bin/a");
    lib.app("b.desktop", "/bin/b");
    lib.app("c.desktop", "/bin/c");
    StubLoader icons;
    const auto added = importShortcutFolder(lib.folder(), lib.db(), icons);
    ASSERT_EQ(added.size(), 2u);
    EXPECT_EQ(added[0].info.name, "a");
    EXPECT_EQ(added[1].info.name, "c");
    EXPECT_EQ(lib.count(), 2);
    EXPECT_EQ(lib.scalar("SELECT count(*) FROM games WHERE id = " + std::to_string(added[1].info.id) + " AND name = 'c'"), 1);
}

TEST(Import, NothingIsReportedWhenTheDatabaseRefusesTheWrite) {
    Library lib;
    lib.app("a.desktop", "/bin/a");
    StubLoader icons;
    // Another program holds the write lock for longer than the busy timeout.
    auto other = Database::open(lib.db(), false);
    ASSERT_TRUE(other->exec("BEGIN IMMEDIATE"));
    EXPECT_TRUE(importShortcutFolder(lib.folder(), lib.db(), icons).empty());
    ASSERT_TRUE(other->exec("ROLLBACK"));
    EXPECT_EQ(lib.count(), 0);
    // Once free, the same folder imports.
    EXPECT_EQ(importShortcutFolder(lib.folder(), lib.db(), icons).size(), 1u);
}

TEST(Import, MissingDatabaseOrTableImportsNothingAndCreatesNothing) {
    Library lib;
    lib.app("a.desktop", "/bin/a");
    StubLoader icons;
    const auto missing = fs::path(lib.folder()).parent_path() / "gone.db";
    EXPECT_TRUE(importShortcutFolder(lib.folder(), missing.string(), icons).empty());
    EXPECT_FALSE(fs::exists(missing));
    const auto empty = fs::path(lib.folder()).parent_path() / "empty.db";
    std::ofstream(empty.string()).close();
    EXPECT_TRUE(importShortcutFolder(lib.folder(), empty.string(), icons).empty());
    EXPECT_TRUE(importShortcutFolder(lib.folder() + "/nowhere", lib.db(), icons).empty());
}

TEST(Import, FiveThousandShortcutsImportQuickly) {
    Library lib;
    for (int i = 0; i < 5000; ++i)
        lib.app("game " + std::to_string(i) + ".desktop", "/bin/true --game " + std::to_string(i),
                "Name=游戏 " + std::to_string(i) + "\n");
    const auto loader = makeIconLoader();  // the real one: every entry needs its type's icon
    const auto start = std::chrono::steady_clock::now();
    const auto added = importShortcutFolder(lib.folder(), lib.db(), *loader);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_EQ(added.size(), 5000u);
    EXPECT_EQ(lib.count(), 5000);
    EXPECT_LT(seconds, 10.0);
    RecordProperty("seconds", std::to_string(seconds));
}

TEST(Import, AppendedRecordsKnowTheirIcons) {
    Library lib;
    lib.app("a.desktop", "/bin/a", "Icon=shared\n");
    lib.app("b.desktop", "/bin/b", "Icon=shared\n");
    StubLoader icons;
    auto imported = importShortcutFolder(lib.folder(), lib.db(), icons);
    ASSERT_EQ(imported.size(), 2u);
    EXPECT_EQ(imported[0].iconPng, imported[1].iconPng) << "one icon, encoded once";
    imported.push_back({});
    imported.back().info.name = "no icon";

    std::vector<GameInfo> games(1);
    games[0].name = "existing";
    EXPECT_EQ(appendImportedGames(games, std::move(imported)), 3);
    ASSERT_EQ(games.size(), 4u);
    EXPECT_EQ(games[0].name, "existing");
    EXPECT_EQ(games[1].name, "a");
    EXPECT_TRUE(games[1].hasIconBlob);
    EXPECT_TRUE(games[1].hasIcon);
    EXPECT_TRUE(games[2].hasIcon);
    EXPECT_FALSE(games[3].hasIconBlob);
    EXPECT_FALSE(games[3].hasIcon);
    // The stored blob is what the grid's icon cache decodes later.
    IconCache cache(lib.db());
    cache.want({games[1].id});
    for (int i = 0; i < 500 && cache.busy(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    cache.beginFrame();
    ASSERT_EQ(cache.state(games[1].id), IconCache::State::Ready);
    EXPECT_EQ(cache.texture(games[1].id)->getSize(), sf::Vector2u(96, 96));
}
