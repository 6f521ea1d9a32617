// Importing a folder of shortcuts into data.db, and appending the games to the list.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>

#include "library/database.h"
#include "library/icons.h"
#include "library/import.h"
#include "platform/shortcuts.h"
#include "scoped_env.h"
#include "temp_dir.h"
#include "test_data.h"

using namespace ludexa;
namespace fs = std::filesystem;

namespace {

struct Library {
    test::ScopedTempDir temp{"ludexa_import"};
    fs::path root = temp.path();
    Library() {
        fs::create_directories(root / "shortcuts");
        EXPECT_TRUE(initDatabase(db()));
    }
    std::string db() const { return (root / "data.db").string(); }
    std::string folder() const { return (root / "shortcuts").string(); }
    std::string path(const std::string& name) const { return (root / "shortcuts" / name).string(); }
    void write(const std::string& name, const std::string& text, std::time_t mtime = 0) const {
        std::ofstream(path(name), std::ios::binary) << text;
        if (mtime != 0)
            fs::last_write_time(path(name), fs::file_time_type::clock::from_sys(std::chrono::system_clock::from_time_t(mtime)));
    }
    void app(const std::string& name, const std::string& exec, const std::string& extra = "") const {
        write(name, "[Desktop Entry]\nType=Application\nExec=" + exec + "\n" + extra);
    }
    // The shortcuts of a folder under tests/data/import.
    void copy(const std::string& fixture) const {
        fs::copy(test::testDataPath("import/" + fixture), folder(), fs::copy_options::recursive);
    }
    int count() const { return scalar("SELECT count(*) FROM games"); }
    int scalar(const std::string& sql) const {
        auto s = Database::open(db(), false)->prepare(sql);
        return s && s->step() == SQLITE_ROW ? s->columnInt(0) : -1;
    }
};

// Every source gets one small icon (so the 96 one is used), or none; `meddle` runs at the first load.
struct StubLoader : IconLoader {
    bool giveIcons = true;
    int loads = 0;
    std::function<void()> meddle;
    std::optional<RgbaImage> load(const IconSource&, int size, IconFit) override {
        ++loads;
        if (meddle) std::exchange(meddle, nullptr)();
        if (!giveIcons) return std::nullopt;
        RgbaImage img;
        img.width = img.height = size == 256 ? 16 : size;
        img.pixels.assign(static_cast<std::size_t>(img.width) * img.height * 4, 200);
        return img;
    }
};

}  // namespace

TEST(Import, StoredRecordsCarryTheShortcutsFields) {
    Library lib;
    const std::time_t t1 = 1600000000, t2 = 1234567890;
    lib.write("Foo Game.desktop",
              "[Desktop Entry]\nType=Application\nName=Foo Game\nExec=\"/opt/Foo Game/foo\" --windowed %U\n", t1);
    const auto bar = test::lnkFixture("import_bar");
    lib.write("Bar.lnk", {bar.begin(), bar.end()}, t2);
    StubLoader icons;
    const auto added = importShortcutFolder(lib.folder(), lib.db(), icons).games;
    ASSERT_EQ(added.size(), 2u);
    // Category is stored as '' rather than NULL; last_played stays NULL.
    auto db = Database::open(lib.db(), false);
    auto rows = db->prepare(
        "SELECT id, name, exe_path, folder_path, category IS NULL, category, created_at, launch_args, "
        "last_played IS NULL, play_count, save_dir, game_size, is_favorite, icon FROM games ORDER BY id");
    const std::vector<std::vector<std::string>> expected = {  // in file-name order
        {"Bar", "C:\\Games\\Bar\\bar.exe", "C:\\Games\\Bar", "0", "", localTimeText(t2), "-w \"save 1\"", "1", "0", "", "0", "0"},
        {"Foo Game", "/opt/Foo Game/foo", "/opt/Foo Game", "0", "", localTimeText(t1), "--windowed", "1", "0", "", "0", "0"}};
    for (std::size_t i = 0; i < 2; ++i) {
        ASSERT_EQ(rows->step(), SQLITE_ROW);
        std::vector<std::string> got;
        for (int c = 1; c <= 12; ++c) got.push_back(rows->columnText(c));
        EXPECT_EQ(got, expected[i]);
        EXPECT_EQ(rows->columnInt(0), added[i].info.id);
        EXPECT_EQ(added[i].info.created_at, expected[i][5]);
        const auto blob = rows->columnBlob(13);  // the PNG the icon cache decodes later
        ASSERT_TRUE(added[i].iconPng);
        EXPECT_TRUE(std::equal(blob.begin(), blob.end(), added[i].iconPng->begin(), added[i].iconPng->end()));
    }
    EXPECT_EQ(rows->step(), SQLITE_DONE);
}

TEST(Import, DuplicatesAndBadFilesAreSkipped) {
    Library lib;
    // An older row whose arguments are NULL counts as one with empty arguments.
    ASSERT_TRUE(Database::open(lib.db(), false)->exec("INSERT INTO games (name, exe_path, launch_args) VALUES ('old', 'C:\\old.exe', NULL)"));
    // Steam, an emulator and wine start many games through one program; Luigi
    // (cut short) and Peach are no shortcuts, skipped without ending the import.
    lib.copy("duplicates");
    StubLoader icons;
    std::vector<std::string> names;
    for (const auto& g : importShortcutFolder(lib.folder(), lib.db(), icons).games) names.push_back(g.info.name);
    // "Also Portal" comes first in file-name order, so it is the one kept.
    EXPECT_EQ(names, (std::vector<std::string>{"Also Portal", "Half-Life", "Mario", "Zelda"}));

    // The same folder again adds nothing and does no icon work.
    const int loads = icons.loads;
    EXPECT_TRUE(importShortcutFolder(lib.folder(), lib.db(), icons).games.empty());
    EXPECT_EQ(icons.loads, loads);
    EXPECT_EQ(lib.count(), 5);
}

// A game another program adds while the shortcuts are read (here: at the first icon) is stored once.
TEST(Import, GameAddedByAnotherProgramDuringTheScanIsStoredOnce) {
    Library lib;
    lib.app("a.desktop", "/bin/a --x");
    lib.app("b.desktop", "/bin/b");
    lib.app("c.desktop", "/bin/b --other");  // same program, other arguments: another game
    StubLoader icons;
    icons.meddle = [&] {
        EXPECT_TRUE(Database::open(lib.db(), false)
                        ->exec("INSERT INTO games (name, exe_path, launch_args) VALUES ('B', '/bin/b', '')"));
    };
    std::vector<std::string> names;
    for (const auto& g : importShortcutFolder(lib.folder(), lib.db(), icons).games) names.push_back(g.info.name);
    EXPECT_EQ(names, (std::vector<std::string>{"a", "c"}));
    EXPECT_EQ(lib.scalar("SELECT count(*) FROM games WHERE exe_path = '/bin/b' AND launch_args = ''"), 1);
    EXPECT_EQ(lib.count(), 3);
}

using test::ScopedEnv;

// A folder such as ~/.local/share/applications: only what a menu lists is a game.
TEST(Import, OnlyEntriesADesktopMenuShowsAreGames) {
    Library lib;
    const auto bin = lib.root / "bin";
    fs::create_directories(bin);
    for (const char* program : {"x-terminal-emulator", "emu"}) {
        std::ofstream(bin / program) << "#!/bin/sh\n";
        fs::permissions(bin / program, fs::perms::owner_all);
    }
    ScopedEnv path("PATH", bin.string() + ":/usr/bin:/bin");
    const std::string emu = (bin / "emu").string(), term = (bin / "x-terminal-emulator").string();

    lib.copy("menu");
    StubLoader icons;
    std::vector<std::vector<std::string>> got;
    for (const auto& g : importShortcutFolder(lib.folder(), lib.db(), icons).games)
        got.push_back({g.info.name, g.info.exe_path, g.info.launch_args});
    const std::vector<std::vector<std::string>> expected = {
        {"BOM", "/bin/bom", ""},
        {"NetHack", term, "-e /usr/games/nethack -u 'Player One'"},
        {"Shown", "/bin/shown", ""},
        {"Menu", emu, "--menu"},
    };
    EXPECT_EQ(got, expected);
}

TEST(Import, DatabaseFailures) {
    Library lib;
    for (const char* name : {"a", "b", "c"}) lib.app(std::string(name) + ".desktop", std::string("/bin/") + name);
    StubLoader icons;
    // A missing database or table imports nothing, creates nothing, and is not "nothing new".
    std::ofstream(lib.root / "empty.db").close();
    for (const auto* db : {"gone.db", "empty.db"}) {
        const auto result = importShortcutFolder(lib.folder(), (lib.root / db).string(), icons);
        EXPECT_TRUE(result.games.empty()) << db;
        EXPECT_FALSE(result.refused.done()) << db;
    }
    EXPECT_FALSE(fs::exists(lib.root / "gone.db"));
    EXPECT_TRUE(importShortcutFolder(lib.folder() + "/nowhere", lib.db(), icons).refused.done());
}

TEST(Import, AppendedRecordsKnowTheirIcons) {
    Library lib;
    lib.app("a.desktop", "/bin/a", "Icon=shared\n");
    lib.app("b.desktop", "/bin/b", "Icon=shared\n");
    StubLoader icons;
    auto imported = importShortcutFolder(lib.folder(), lib.db(), icons).games;
    ASSERT_EQ(imported.size(), 2u);
    EXPECT_EQ(imported[0].iconPng, imported[1].iconPng) << "one icon, encoded once";
    lib.app("c.desktop", "/bin/c");  // a game without any icon is stored with NULL
    icons.giveIcons = false;
    auto bare = importShortcutFolder(lib.folder(), lib.db(), icons).games;
    ASSERT_EQ(bare.size(), 1u);
    EXPECT_FALSE(bare[0].iconPng);
    EXPECT_EQ(lib.scalar("SELECT icon IS NULL FROM games WHERE name = 'c'"), 1);
    imported.push_back(std::move(bare[0]));

    std::vector<GameInfo> games(1);
    EXPECT_EQ(appendImportedGames(games, std::move(imported)), 3);
    ASSERT_EQ(games.size(), 4u);
    EXPECT_EQ(games[1].name, "a");
    EXPECT_TRUE(games[1].hasIconBlob && games[1].hasIcon && games[2].hasIcon);
    EXPECT_FALSE(games[3].hasIconBlob || games[3].hasIcon);
}
