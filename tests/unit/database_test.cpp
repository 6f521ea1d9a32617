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
#include "temp_dir.h"
#include "test_data.h"

using namespace ludexa;

namespace {

std::string queryPlan(Database& db, const char* sql) {
    std::string plan;
    auto explain = db.prepare(std::string("EXPLAIN QUERY PLAN ") + sql);
    while (explain && explain->step() == SQLITE_ROW) plan += explain->columnText(3) + "\n";
    return plan;
}

// `id` 0 lets SQLite choose one.
std::int64_t insertWithIcon(Database& db, const char* name, const std::vector<unsigned char>* png, std::int64_t id = 0) {
    auto insert = db.prepare("INSERT INTO games (id, name, icon) VALUES (?, ?, ?)");
    if (id != 0) insert->bind(1, id); else insert->bindNull(1);
    insert->bind(2, std::string_view(name));
    if (png) insert->bindBlob(3, *png); else insert->bindNull(3);
    EXPECT_TRUE(insert->stepDone());
    return db.lastInsertRowId();
}

void settle(IconCache& cache) {
    for (int i = 0; i < 500 && cache.busy(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    cache.beginFrame();
}

}  // namespace

// Files that are no library: nothing loads, and none of them is changed or created.
TEST(Database, FilesThatAreNoLibraryLoadNothing) {
    test::ScopedTempDir dir;
    const auto empty = dir.file("empty.db"), junk = dir.file("junk.db");
    { std::ofstream(empty, std::ios::binary); }  // a zero-byte file is used as it is
    { std::ofstream(junk, std::ios::binary) << std::string(4096, 'x'); }
    ASSERT_TRUE(initDatabase(empty));
    EXPECT_FALSE(initDatabase(dir.file("no/such/folder/data.db")));
    for (const auto& path : {empty, junk, dir.file("missing.db")}) EXPECT_TRUE(loadGames(path).empty()) << path;
    EXPECT_EQ(std::filesystem::file_size(empty), 0u);
    EXPECT_FALSE(std::filesystem::exists(dir.file("missing.db")));
}

// Rows load with NULLs and bad icons, from indexes rather than the icons' overflow
// pages; while another program holds data.db for writing, from the table, without waiting.
TEST(Database, RowsLoadFromIndexesOnceTheFileIsFree) {
    test::ScopedTempDir dir;
    const auto path = dir.file("data.db");
    ASSERT_TRUE(initDatabase(path));
    auto db = Database::open(path);
    ASSERT_TRUE(db->exec(
        "INSERT INTO games (name, exe_path, folder_path, category, icon, created_at, last_played, play_count, "
        "launch_args, save_dir, game_size, is_favorite) VALUES "
        "('甲', '/g/a', '/g', 'A||B|', zeroblob(100000), '2024-01-02 03:04:05', NULL, 3, NULL, NULL, 5000000000, 1),"
        "('甲', NULL, NULL, NULL, NULL, NULL, NULL, 0, '', '', 0, 0),"
        "('乙', '/g/b', '/g', '', x'', '2024-01-01 00:00:00', '2024-02-02 10:00:00', 0, '-x', '/s', 0, 0)"));
    for (const bool held : {true, false}) {
        SCOPED_TRACE(held ? "held" : "free");
        if (held) {
            ASSERT_TRUE(db->exec("BEGIN IMMEDIATE"));
            EXPECT_FALSE(ensureStartIndexes(path));
        }
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
        EXPECT_EQ(games[0].category, "A||B|");
        if (held) ASSERT_TRUE(db->exec("COMMIT"));
        auto reader = Database::open(path);  // a connection of its own reads the schema as it is now
        const auto plan = queryPlan(*reader, kStartQuery);
        EXPECT_EQ(plan.find("USING COVERING INDEX games_start_columns") != std::string::npos, !held) << plan;
        if (!held) EXPECT_NE(queryPlan(*reader, kIconIdsQuery).find("INDEX games_with_icon"), std::string::npos);
    }
}

// No game ever gets another's icon, not even past 2^31 (2^32 + 1 reads as 1 in 32 bits).
TEST(IconCacheOnDisplay, DecodesByIdAndNeverMixesGames) {
    test::ScopedTempDir dir;
    const auto path = dir.file("data.db");
    ASSERT_TRUE(initDatabase(path));
    const auto red = encodePng(RgbaImage{1, 1, {255, 0, 0, 255}}), blue = encodePng(RgbaImage{1, 1, {0, 0, 255, 255}});
    const std::vector<unsigned char> junk = {0, 1, 2, 3};
    auto db = Database::open(path);
    const auto redId = insertWithIcon(*db, "red", &red, 1);
    const auto blueId = insertWithIcon(*db, "blue", &blue, 4294967297);
    const auto junkId = insertWithIcon(*db, "junk", &junk);
    const auto noneId = insertWithIcon(*db, "none", nullptr);
    const auto games = loadGames(path);
    ASSERT_EQ(games.size(), 4u);
    EXPECT_EQ(games[1].id, blueId);

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

    // SQLite never reuses a deleted game's id: the next game starts undecoded, with its own icon.
    ASSERT_TRUE(db->exec(("DELETE FROM games WHERE id = " + std::to_string(redId)).c_str()));
    cache.forget(redId);
    EXPECT_EQ(cache.state(blueId), IconCache::State::Ready);
    const auto newId = insertWithIcon(*db, "new", &blue);
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

// Sizes as a decoder would read them (a JPEG's frame header comes after other
// segments, a top-down BMP's height is negative): a huge canvas would cost a
// gigabyte before failing, a Huffman table of 4080 symbols overrun SFML's decoder.
TEST(IconCacheTest, OversizedIconHeadersAreRefusedUndecoded) {
    const struct {
        const char* file;
        unsigned width, height;
        bool acceptable;
    } cases[] = {
        {"big_canvas_header.png", 16000, 16000, false},
        {"tall_frame.jpg", 48, 16000, false},
        {"wide.gif", 16000, 32, false},
        {"top_down.bmp", 64, 64, true},
        {"huffman_overrun.jpg", 8, 8, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const auto bytes = test::testDataBytes(std::string("corpus/icon_blob/") + c.file);
        const auto size = declaredPictureSize(bytes);
        ASSERT_TRUE(size);
        EXPECT_EQ(size->width, c.width);
        EXPECT_EQ(size->height, c.height);
        EXPECT_EQ(iconBlobAcceptable(bytes), c.acceptable);
    }
    const auto big = test::testDataBytes("corpus/icon_blob/big_canvas_header.png");
    EXPECT_FALSE(iconBlobAcceptable(std::vector<unsigned char>(big.begin(), big.begin() + 20)));  // cut short
}

TEST(Database, BusyTimeoutLetsASecondWriterWait) {
    test::ScopedTempDir dir;
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
    // Filter's tests choose by category; these are the field's corners.
    EXPECT_TRUE(hasCategory("ARPG|RPG", "RPG"));
    EXPECT_FALSE(hasCategory("RPGs", "RPG"));
    EXPECT_TRUE(hasCategory("A||B|", "B"));
    EXPECT_EQ(splitCategories("|A||B|"), (std::vector<std::string>{"A", "B"}));
    EXPECT_TRUE(splitCategories("").empty());
}
