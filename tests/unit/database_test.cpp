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

using TempDir = test::ScopedTempDir;

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

// Files that are no library: nothing loads, and none of them is changed or created.
TEST(Database, FilesThatAreNoLibraryLoadNothing) {
    TempDir dir;
    const auto empty = dir.file("empty.db"), junk = dir.file("junk.db");
    { std::ofstream(empty, std::ios::binary); }  // a zero-byte file is used as it is
    { std::ofstream(junk, std::ios::binary) << std::string(4096, 'x'); }
    ASSERT_TRUE(initDatabase(empty));
    EXPECT_FALSE(initDatabase(dir.file("no/such/folder/data.db")));
    for (const auto& path : {empty, junk, dir.file("missing.db")}) EXPECT_TRUE(loadGames(path).empty()) << path;
    EXPECT_EQ(std::filesystem::file_size(empty), 0u);
    EXPECT_FALSE(std::filesystem::exists(dir.file("missing.db")));
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

std::string queryPlan(Database& db, const char* sql) {
    std::string plan;
    auto explain = db.prepare(std::string("EXPLAIN QUERY PLAN ") + sql);
    while (explain && explain->step() == SQLITE_ROW) plan += explain->columnText(3) + "\n";
    return plan;
}

}  // namespace

// The start must not walk the icons' overflow pages: an existing library gets
// the two indexes at its first load, and both start queries read from them.
// While another program holds data.db for writing, the indexes stay uncreated
// and the start reads the table instead, with the same result, without waiting.
TEST(Database, StartIsAnsweredFromIndexesOnceTheFileIsFree) {
    TempDir dir;
    const auto path = dir.file("data.db");
    ASSERT_TRUE(initDatabase(path));
    auto db = Database::open(path);
    ASSERT_TRUE(db->exec("INSERT INTO games (name, icon) VALUES ('有图', zeroblob(100000)), ('无图', NULL)"));
    for (const bool held : {true, false}) {
        if (held) {
            ASSERT_TRUE(db->exec("BEGIN IMMEDIATE"));
            EXPECT_FALSE(ensureStartIndexes(path));
        }
        const auto games = loadGames(path);
        ASSERT_EQ(games.size(), 2u);
        EXPECT_TRUE(games[0].hasIconBlob);
        EXPECT_FALSE(games[1].hasIconBlob);
        if (held) ASSERT_TRUE(db->exec("COMMIT"));
        auto reader = Database::open(path);  // a connection of its own reads the schema as it is now
        const auto plan = queryPlan(*reader, kStartQuery);
        EXPECT_EQ(plan.find("USING COVERING INDEX games_start_columns") != std::string::npos, !held) << plan;
        if (!held) EXPECT_NE(queryPlan(*reader, kIconIdsQuery).find("INDEX games_with_icon"), std::string::npos);
    }
}

namespace {

// A one-pixel PNG of the given colour.
std::vector<unsigned char> pixelPng(sf::Color colour) {
    return encodePng(RgbaImage{1, 1, {colour.r, colour.g, colour.b, colour.a}});
}

std::int64_t insertWithIcon(Database& db, const char* name, const std::vector<unsigned char>* png) {
    auto insert = db.prepare("INSERT INTO games (name, icon) VALUES (?, ?)");
    insert->bind(1, std::string_view(name));
    if (png) insert->bindBlob(2, *png); else insert->bindNull(2);
    EXPECT_TRUE(insert->stepDone());
    return db.lastInsertRowId();
}

void settle(IconCache& cache) {
    for (int i = 0; i < 500 && cache.busy(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    cache.beginFrame();
}

}  // namespace

// Icons are decoded on demand, keyed by id: a decodable blob shows, a blob that
// is not a picture gives the fallback, and no game ever gets another's icon.
TEST(IconCacheOnDisplay, DecodesByIdAndNeverMixesGames) {
    TempDir dir;
    const auto path = dir.file("data.db");
    ASSERT_TRUE(initDatabase(path));
    const auto red = pixelPng(sf::Color::Red), blue = pixelPng(sf::Color::Blue);
    const std::vector<unsigned char> junk = {0, 1, 2, 3};
    auto db = Database::open(path);
    const auto redId = insertWithIcon(*db, "red", &red);
    const auto blueId = insertWithIcon(*db, "blue", &blue);
    const auto junkId = insertWithIcon(*db, "junk", &junk);
    const auto noneId = insertWithIcon(*db, "none", nullptr);

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

// Rowids past 2^31 exist (an import into a file another tool filled, a row
// inserted by hand): 4294967297 is 2^32 + 1, which 32 bits would read as 1.
TEST(IconCacheOnDisplay, IdsBeyond32BitsStayApart) {
    TempDir dir;
    const auto path = dir.file("data.db");
    ASSERT_TRUE(initDatabase(path));
    const auto red = pixelPng(sf::Color::Red), blue = pixelPng(sf::Color::Blue);
    auto db = Database::open(path);
    auto insert = db->prepare("INSERT INTO games (id, name, icon) VALUES (?, ?, ?)");
    insert->bind(1, std::int64_t{1}).bind(2, std::string_view("Victim")).bindBlob(3, red);
    ASSERT_TRUE(insert->stepDone());
    insert->reset().bind(1, std::int64_t{4294967297}).bind(2, std::string_view("Attacker")).bindBlob(3, blue);
    ASSERT_TRUE(insert->stepDone());

    const auto games = loadGames(path);
    ASSERT_EQ(games.size(), 2u);
    EXPECT_EQ(games[0].id, 1);
    EXPECT_EQ(games[1].id, 4294967297LL);

    IconCache cache(path);
    cache.want({games[1].id, games[0].id});
    settle(cache);
    ASSERT_EQ(cache.state(games[1].id), IconCache::State::Ready);
    EXPECT_EQ(cache.texture(games[1].id)->copyToImage().getPixel(0, 0), sf::Color::Blue);
    EXPECT_EQ(cache.texture(games[0].id)->copyToImage().getPixel(0, 0), sf::Color::Red);
    cache.forget(games[1].id);
    EXPECT_EQ(cache.state(games[0].id), IconCache::State::Ready);
}

TEST(IconCacheTest, OversizedIconHeadersAreRefusedUndecoded) {
    // A PNG signature and an IHDR chunk declaring 16000 x 16000 RGBA, nothing
    // after it: decoding would allocate about a gigabyte before finding no data.
    const auto big = test::testDataBytes("corpus/icon_blob/big_canvas_header.png");
    ASSERT_TRUE(declaredPictureSize(big));
    EXPECT_EQ(declaredPictureSize(big)->width, 16000u);
    EXPECT_FALSE(iconBlobAcceptable(big));
    EXPECT_TRUE(iconBlobAcceptable(pixelPng(sf::Color::Red)));
    // Other headers a decoder would read: JPEG (frame header after an APP0
    // segment), GIF, BMP with a negative (top-down) height; anything else is refused.
    const std::vector<unsigned char> jpeg = {0xFF, 0xD8, 0xFF, 0xE0, 0, 4, 0, 0, 0xFF, 0xC0, 0, 11, 8, 0x3E, 0x80, 0, 48};
    EXPECT_EQ(declaredPictureSize(jpeg)->height, 16000u);
    EXPECT_EQ(declaredPictureSize(jpeg)->width, 48u);
    const std::vector<unsigned char> gif = {'G', 'I', 'F', '8', '9', 'a', 0x80, 0x3E, 32, 0};
    EXPECT_FALSE(iconBlobAcceptable(gif));
    std::vector<unsigned char> bmp(26, 0);
    bmp[0] = 'B', bmp[1] = 'M', bmp[14] = 40, bmp[18] = 64;
    bmp[22] = 0xC0, bmp[23] = 0xFF, bmp[24] = 0xFF, bmp[25] = 0xFF;  // height -64
    EXPECT_EQ(declaredPictureSize(bmp)->height, 64u);
    EXPECT_TRUE(iconBlobAcceptable(bmp));
    EXPECT_FALSE(iconBlobAcceptable(std::vector<unsigned char>(big.begin(), big.begin() + 20)));  // cut short
    // A small JPEG whose Huffman table (4080 symbols) would overrun SFML's decoder.
    std::vector<unsigned char> overrun = {0xFF, 0xD8, 0xFF, 0xC4, 0x10, 0x03, 0x10};
    overrun.insert(overrun.end(), 16, 255);
    overrun.insert(overrun.end(), 4080, 0);
    overrun.insert(overrun.end(), {0xFF, 0xC0, 0, 11, 8, 0, 8, 0, 8, 1, 1, 0x11, 0});
    EXPECT_EQ(declaredPictureSize(overrun)->width, 8u);
    EXPECT_FALSE(iconBlobAcceptable(overrun));

    TempDir dir;
    const auto path = dir.file("data.db");
    ASSERT_TRUE(initDatabase(path));
    auto db = Database::open(path);
    const auto id = insertWithIcon(*db, "big", &big);
    IconCache cache(path);
    cache.want({id});
    settle(cache);
    EXPECT_EQ(cache.state(id), IconCache::State::Failed);
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
