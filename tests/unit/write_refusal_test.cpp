// Every write data.db refuses (read-only, held, vetoed by a trigger) comes
// back with the refusal's code and leaves the file as it was.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <future>
#include <set>

#include "dialogs/category_manager.h"
#include "dialogs/game_settings_dialog.h"
#include "library/database.h"
#include "library/import.h"
#include "library/play_watch.h"
#include "library/size_count.h"
#include "temp_dir.h"

using namespace ludexa;

namespace {

// One game (id 7, category "Old") with a session table, and a bak.db that
// would restore its category to "New".
struct Library {
    test::ScopedTempDir dir{"ludexa_refusal"};
    std::string db = dir.file("data.db");
    std::string bak = dir.file("bak.db");

    Library() {
        EXPECT_TRUE(initDatabase(db));
        auto data = Database::open(db, false);
        EXPECT_TRUE(data->exec(kCreatePlaySessionsTable));
        EXPECT_TRUE(data->exec("INSERT INTO games (id, name, category) VALUES (7, 'Game', 'Old')"));
        auto backup = Database::open(bak);
        EXPECT_TRUE(backup->exec(kCreateBackupTable));
        EXPECT_TRUE(backup->exec("INSERT INTO games (name, category) VALUES ('Game', 'New')"));
    }

    // Everything a write could change, as one line.
    std::string contents() const {
        auto data = Database::open(db, false);
        auto rows = data->prepare(
            "SELECT (SELECT group_concat(id || name || category || is_favorite || play_count || game_size, ';') "
            "FROM games), (SELECT count(*) FROM play_sessions)");
        return rows && rows->step() == SQLITE_ROW ? rows->columnText(0) + "|" + rows->columnText(1) : "unreadable";
    }
};

enum class Refusal { ReadOnly, Trigger, Locked };

// A file format write version above 2 makes SQLite open the file read-only,
// for every user: root included, for whom a chmod would refuse nothing.
void makeReadOnly(const std::string& path) {
    std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
    file.seekp(18);
    file.put(3);
}

struct WritePath {
    const char* name;
    std::function<WriteOutcome(const Library&)> write;
};

const std::vector<WritePath>& writePaths() {
    static const std::vector<WritePath> paths = {
        {"favourite", [](const Library& l) { return storeFavorite(l.db, 7, true); }},
        {"play", [](const Library& l) { return storePlay(l.db, 7, 1, "2026-01-02 03:04:05"); }},
        {"delete", [](const Library& l) { return deleteGameRow(l.db, 7); }},
        {"settings",
         [](const Library& l) {
             GameInfo game;
             game.id = 7;
             game.name = "Renamed";
             return saveGameRecord(l.db, game);
         }},
        {"size",
         [](const Library& l) {
             std::vector<GameInfo> games(1);
             games[0].id = 7;
             const auto outcome = storeGameSize(games, 7, 4096, l.db);
             EXPECT_EQ(games[0].game_size, 0) << "the record shows what the file keeps";
             return outcome;
         }},
        {"import",
         [](const Library& l) {
             std::vector<ImportedGame> candidates(1);
             candidates[0].info.name = "New";
             candidates[0].info.exe_path = "/usr/games/new";
             auto stored = storeNewGames(l.db, std::move(candidates));
             EXPECT_TRUE(stored.games.empty());
             return stored.refused;
         }},
        {"restore",
         [](const Library& l) {
             const auto result =
                 transferColumn(l.db, l.bak, TransferColumn::Category, TransferDirection::Restore, true, false);
             EXPECT_EQ(result.status, TransferResult::Status::Refused);
             EXPECT_EQ(result.refusingFile, "data.db");
             return result.refused;
         }},
        {"session",
         [](const Library& l) {
             auto data = Database::open(l.db, false);
             SessionRow row;
             row.gameId = 7;
             row.seconds = 60;
             WriteOutcome failure;
             EXPECT_EQ(storeSession(*data, row, &failure), 0);
             return failure;
         }},
    };
    return paths;
}

}  // namespace

TEST(WriteRefusal, EveryWritePathReportsWhyAndChangesNothing) {
    const struct {
        Refusal refusal;
        int code;
    } cases[] = {{Refusal::ReadOnly, SQLITE_READONLY}, {Refusal::Trigger, SQLITE_CONSTRAINT}, {Refusal::Locked, SQLITE_BUSY}};
    for (const auto& c : cases) {
        Library lib;
        const std::string before = lib.contents();
        std::optional<Database> holder;
        switch (c.refusal) {
            case Refusal::ReadOnly: makeReadOnly(lib.db); break;
            case Refusal::Trigger: {
                auto data = Database::open(lib.db, false);
                for (const char* event : {"INSERT", "UPDATE", "DELETE"})
                    for (const char* table : {"games", "play_sessions"})
                        ASSERT_TRUE(data->exec((std::string("CREATE TRIGGER veto_") + event + "_" + table + " BEFORE " +
                                                event + " ON " + table + " BEGIN SELECT RAISE(ABORT, 'kept as is'); END")
                                                   .c_str()));
                break;
            }
            case Refusal::Locked:
                holder = Database::open(lib.db, false);
                ASSERT_TRUE(holder->exec("BEGIN IMMEDIATE"));
                break;
        }
        // All at once: each waits out the busy timeout of a held file.
        std::vector<std::future<WriteOutcome>> outcomes;
        for (const auto& path : writePaths())
            outcomes.push_back(std::async(std::launch::async, [&lib, &path] { return path.write(lib); }));
        for (std::size_t i = 0; i < outcomes.size(); ++i) {
            const auto outcome = outcomes[i].get();
            const char* name = writePaths()[i].name;
            EXPECT_EQ(outcome.code & 0xFF, c.code) << name << ": " << outcome.message;
            if (c.refusal == Refusal::Trigger) EXPECT_EQ(outcome.message, "kept as is") << name;
        }
        if (holder) ASSERT_TRUE(holder->exec("ROLLBACK"));
        EXPECT_EQ(lib.contents(), before) << static_cast<int>(c.refusal);
    }
}

TEST(WriteRefusal, OpenFailuresCarryTheirCode) {
    test::ScopedTempDir dir{"ludexa_refusal"};
    const auto missing = storeFavorite(dir.file("missing.db"), 1, true);
    EXPECT_EQ(missing.code & 0xFF, SQLITE_CANTOPEN);
    EXPECT_FALSE(std::filesystem::exists(dir.file("missing.db")));
    // Nothing to store is no refusal, and no file is touched for it.
    EXPECT_TRUE(storeNewGames(dir.file("missing.db"), {}).refused.done());
}

TEST(WriteRefusal, ReasonsFollowThePrimaryCode) {
    const auto reason = [](int code, const std::string& message = {}) { return writeFailureReason({code, message}); };
    // Extended codes read as their primary code, and busy and locked are one thing to the user.
    for (const auto& [extended, primary] : std::vector<std::pair<int, int>>{{SQLITE_BUSY_SNAPSHOT, SQLITE_BUSY},
                                                                           {SQLITE_LOCKED, SQLITE_BUSY},
                                                                           {SQLITE_IOERR_FSYNC, SQLITE_IOERR}})
        EXPECT_EQ(reason(extended, "x"), reason(primary, "x")) << extended;
    // Each kind of refusal has words of its own.
    const std::set<std::string> kinds = {reason(SQLITE_BUSY),    reason(SQLITE_READONLY), reason(SQLITE_CANTOPEN),
                                         reason(SQLITE_FULL),    reason(SQLITE_IOERR),    reason(SQLITE_CORRUPT),
                                         reason(SQLITE_NOMEM),   reason(SQLITE_CONSTRAINT, "x")};
    EXPECT_EQ(kinds.size(), 8u);
    // A trigger's own words reach the user; the file is named as the user knows it.
    EXPECT_NE(reason(SQLITE_CONSTRAINT, "只许看不许改").find("只许看不许改"), std::string::npos);
    const std::string bak = writeFailureReason({SQLITE_BUSY, {}}, "bak.db");
    EXPECT_NE(bak.find("bak.db"), std::string::npos);
    EXPECT_EQ(bak.find("data.db"), std::string::npos);
}
