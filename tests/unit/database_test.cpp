// data.db: first start, files that are not a library, and loading rows.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include <SFML/Graphics/Image.hpp>

#include "library/database.h"
#include "library/game_info.h"
#include "library/icon_cache.h"
#include "library/icons.h"

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
    EXPECT_TRUE(games[0].hasIconBlob);   // a blob, decoded later by the icon cache
    EXPECT_FALSE(games[1].hasIconBlob);  // NULL
    EXPECT_FALSE(games[2].hasIconBlob);  // empty blob
    EXPECT_TRUE(games[0].last_played.empty());
    EXPECT_EQ(games[0].game_size, 5000000000LL);
    EXPECT_TRUE(games[0].is_favorite);
    EXPECT_EQ(games[0].play_count, 3);
    EXPECT_EQ(games[2].launch_args, "-x");
    EXPECT_EQ(splitCategories(games[0].category), (std::vector<std::string>{"A", "B"}));
}

namespace {

// A one-pixel PNG of the given colour.
std::vector<unsigned char> pixelPng(sf::Color colour) {
    return encodePng(RgbaImage{1, 1, {colour.r, colour.g, colour.b, colour.a}});
}

int insertWithIcon(Database& db, const char* name, const std::vector<unsigned char>* png) {
    auto insert = db.prepare("INSERT INTO games (name, icon) VALUES (?, ?)");
    insert->bind(1, std::string_view(name));
    if (png) insert->bindBlob(2, *png); else insert->bindNull(2);
    EXPECT_TRUE(insert->stepDone());
    return static_cast<int>(db.lastInsertRowId());
}

void settle(IconCache& cache) {
    for (int i = 0; i < 500 && cache.busy(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    cache.beginFrame();
}

}  // namespace

// Icons are decoded on demand, keyed by id: a decodable blob shows, a blob that
// is not a picture gives the fallback, and no game ever gets another's icon.
TEST(IconCacheTest, DecodesByIdAndNeverMixesGames) {
    TempDir dir;
    const auto path = dir.file("data.db");
    ASSERT_TRUE(initDatabase(path));
    const auto red = pixelPng(sf::Color::Red), blue = pixelPng(sf::Color::Blue);
    const std::vector<unsigned char> junk = {0, 1, 2, 3};
    auto db = Database::open(path);
    const int redId = insertWithIcon(*db, "red", &red);
    const int blueId = insertWithIcon(*db, "blue", &blue);
    const int junkId = insertWithIcon(*db, "junk", &junk);
    const int noneId = insertWithIcon(*db, "none", nullptr);

    IconCache cache(path, 1);
    EXPECT_EQ(cache.state(redId), IconCache::State::Unknown);  // nothing decoded before it is wanted
    cache.want({blueId, redId, junkId, noneId});
    settle(cache);
    ASSERT_EQ(cache.state(redId), IconCache::State::Ready);
    ASSERT_EQ(cache.state(blueId), IconCache::State::Ready);
    EXPECT_EQ(cache.texture(redId)->copyToImage().getPixel(0, 0), sf::Color::Red);
    EXPECT_EQ(cache.texture(blueId)->copyToImage().getPixel(0, 0), sf::Color::Blue);
    EXPECT_EQ(cache.state(junkId), IconCache::State::Failed);
    EXPECT_EQ(cache.state(noneId), IconCache::State::Failed);

    // Deleting a game and importing another: SQLite never reuses the id, so
    // the new game starts undecoded and gets its own icon.
    ASSERT_TRUE(db->exec(("DELETE FROM games WHERE id = " + std::to_string(redId)).c_str()));
    cache.forget(redId);
    const int newId = insertWithIcon(*db, "new", &blue);
    EXPECT_NE(newId, redId);
    EXPECT_EQ(cache.state(newId), IconCache::State::Unknown);
    cache.want({newId});
    settle(cache);
    EXPECT_EQ(cache.texture(newId)->copyToImage().getPixel(0, 0), sf::Color::Blue);
    EXPECT_EQ(cache.state(redId), IconCache::State::Unknown);

    // Textures beyond the capacity that were not used last frame are evicted.
    cache.beginFrame();
    cache.beginFrame();
    EXPECT_LE(cache.textureCount(), 1u);
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
