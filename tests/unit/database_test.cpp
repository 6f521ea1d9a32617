// data.db: first start, files that are not a library, and loading rows.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <thread>

#include "library/database.h"
#include "library/game_info.h"

using namespace ludexa;

namespace {

class TempDir {
public:
    TempDir() {
        path_ = std::filesystem::temp_directory_path() /
                ("ludexa_db_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~TempDir() { std::filesystem::remove_all(path_); }
    std::string file(const char* name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

}  // namespace

TEST(Database, FirstStartCreatesTheExactSchema) {
    TempDir dir;
    const auto path = dir.file("data.db");
    ASSERT_TRUE(initDatabase(path));
    auto db = Database::open(path);
    ASSERT_TRUE(db);
    auto stmt = db->prepare("SELECT sql FROM sqlite_master WHERE name='games'");
    ASSERT_TRUE(stmt);
    ASSERT_EQ(stmt->step(), SQLITE_ROW);
    std::string expected = kCreateGamesTable;
    expected = "CREATE TABLE games" + expected.substr(std::string("CREATE TABLE IF NOT EXISTS games").size());
    expected.pop_back();  // the stored statement has no semicolon
    EXPECT_EQ(stmt->columnText(0), expected);
    EXPECT_TRUE(loadGames(path).empty());
}

TEST(Database, ExistingFileWithoutTableIsUsedUnchanged) {
    TempDir dir;
    const auto path = dir.file("data.db");
    { std::ofstream(path, std::ios::binary); }  // a zero-byte file
    ASSERT_TRUE(initDatabase(path));
    EXPECT_EQ(std::filesystem::file_size(path), 0u);
    EXPECT_TRUE(loadGames(path).empty());
    EXPECT_EQ(std::filesystem::file_size(path), 0u);
}

TEST(Database, UnopenablePathFails) {
    TempDir dir;
    EXPECT_FALSE(initDatabase(dir.file("no/such/folder/data.db")));
    EXPECT_TRUE(loadGames(dir.file("missing.db")).empty());
    EXPECT_FALSE(std::filesystem::exists(dir.file("missing.db")));
}

TEST(Database, NotADatabaseLoadsEmpty) {
    TempDir dir;
    const auto path = dir.file("data.db");
    { std::ofstream(path, std::ios::binary) << std::string(4096, 'x'); }
    EXPECT_TRUE(loadGames(path).empty());
}

TEST(Database, RowsLoadWithNullsAndBadIcons) {
    TempDir dir;
    const auto path = dir.file("data.db");
    ASSERT_TRUE(initDatabase(path));
    auto db = Database::open(path);
    ASSERT_TRUE(db->exec(
        "INSERT INTO games (name, exe_path, folder_path, category, icon, created_at, last_played, play_count, "
        "launch_args, save_dir, game_size, is_favorite) VALUES "
        "('甲', '/g/a', '/g', 'A||B|', x'00010203', '2024-01-02 03:04:05', NULL, 3, NULL, NULL, 5000000000, 1),"
        "('甲', NULL, NULL, NULL, NULL, NULL, NULL, 0, '', '', 0, 0),"
        "('乙', '/g/b', '/g', '', x'', '2024-01-01 00:00:00', '2024-02-02 10:00:00', 0, '-x', '/s', 0, 0)"));
    const auto games = loadGames(path);
    ASSERT_EQ(games.size(), 3u);
    EXPECT_EQ(games[0].name, "甲");
    EXPECT_EQ(games[1].name, "甲");  // two rows with one name are two games
    EXPECT_NE(games[0].id, games[1].id);
    EXPECT_FALSE(games[0].hasIcon);  // not a picture
    EXPECT_FALSE(games[2].hasIcon);  // empty blob
    EXPECT_TRUE(games[0].last_played.empty());
    EXPECT_EQ(games[0].game_size, 5000000000LL);
    EXPECT_TRUE(games[0].is_favorite);
    EXPECT_EQ(games[0].play_count, 3);
    EXPECT_EQ(games[2].launch_args, "-x");
    EXPECT_EQ(splitCategories(games[0].category), (std::vector<std::string>{"A", "B"}));
}

TEST(Database, ValidPngIconDecodes) {
    TempDir dir;
    const auto path = dir.file("data.db");
    ASSERT_TRUE(initDatabase(path));
    // A 1 x 1 red PNG.
    const unsigned char png[] = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A, 0x00, 0x00, 0x00, 0x0D, 0x49,
                                 0x48, 0x44, 0x52, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x01, 0x08, 0x02,
                                 0x00, 0x00, 0x00, 0x90, 0x77, 0x53, 0xDE, 0x00, 0x00, 0x00, 0x0C, 0x49, 0x44,
                                 0x41, 0x54, 0x08, 0xD7, 0x63, 0xF8, 0xCF, 0xC0, 0x00, 0x00, 0x03, 0x01, 0x01,
                                 0x00, 0x18, 0xDD, 0x8D, 0xB0, 0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4E, 0x44,
                                 0xAE, 0x42, 0x60, 0x82};
    {
        auto db = Database::open(path);
        auto insert = db->prepare("INSERT INTO games (name, icon) VALUES (?, ?)");
        ASSERT_TRUE(insert);
        insert->bind(1, std::string_view("red")).bindBlob(2, png);
        ASSERT_TRUE(insert->stepDone());
    }
    const auto games = loadGames(path);
    ASSERT_EQ(games.size(), 1u);
    EXPECT_TRUE(games[0].hasIcon);
    EXPECT_EQ(games[0].icon.getSize(), sf::Vector2u(1, 1));
}

TEST(Database, BusyTimeoutLetsASecondWriterWait) {
    TempDir dir;
    const auto path = dir.file("data.db");
    ASSERT_TRUE(initDatabase(path));
    auto holder = Database::open(path);
    ASSERT_TRUE(holder->exec("BEGIN IMMEDIATE; INSERT INTO games (name) VALUES ('held');"));
    std::thread release([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        (void)holder->exec("COMMIT");
    });
    auto writer = Database::open(path);
    EXPECT_TRUE(writer->exec("INSERT INTO games (name) VALUES ('waited')"));
    release.join();
    EXPECT_EQ(loadGames(path).size(), 2u);
}

TEST(CategoryField, WholeEntriesOnly) {
    EXPECT_TRUE(hasCategory("RPG", "RPG"));
    EXPECT_TRUE(hasCategory("ARPG|RPG", "RPG"));
    EXPECT_TRUE(hasCategory("RPG|Action", "RPG"));
    EXPECT_FALSE(hasCategory("ARPG|Action", "RPG"));
    EXPECT_FALSE(hasCategory("RPGs", "RPG"));
    EXPECT_TRUE(hasCategory("A||B|", "B"));
    EXPECT_EQ(splitCategories("|A||B|"), (std::vector<std::string>{"A", "B"}));
    EXPECT_TRUE(splitCategories("").empty());
}
