// A move-only SQLite connection and statement. Every operation on data.db (and
// media/bak.db) opens its own connection, runs its statements and closes it
// again; these two types make that one line at each call site.
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace ludexa {

class Statement;

// How a write to data.db ended: SQLITE_OK when it was stored; otherwise the
// result code that refused it (the whole write: nothing of it is kept) and
// SQLite's own message, which for a refusal by the database's rules (a
// trigger's RAISE, a constraint) is the only explanation there is.
struct WriteOutcome {
    int code = SQLITE_OK;
    std::string message;
    bool done() const { return code == SQLITE_OK; }
};

// Why a write was refused, as one Chinese sentence for the user (the file in
// use, read-only, disk full, read/write error, the database's own message).
// Every write path words its failure with this; `file` is the database's
// name as the user knows it.
std::string writeFailureReason(const WriteOutcome& outcome, const std::string& file = "data.db");

class Database {
public:
    // Opens (and, when `create` is set, creates) the file. A second process
    // holding the file briefly (another Ludexa, the sqlite3 shell, a backup
    // tool) makes statements wait up to kBusyTimeoutMs instead of failing.
    // When it cannot be opened and `failure` is given, it receives why.
    [[nodiscard]] static std::optional<Database> open(const std::string& path, bool create = true,
                                                      WriteOutcome* failure = nullptr);

    // Opens another program's database only to read it: nothing is created,
    // written or locked for writing.
    [[nodiscard]] static std::optional<Database> openReadOnly(const std::string& path);

    static constexpr int kBusyTimeoutMs = 5000;

    // Runs statements without results; true on success.
    [[nodiscard]] bool exec(const char* sql);
    // A prepared statement, or nullopt when the SQL cannot be prepared.
    [[nodiscard]] std::optional<Statement> prepare(std::string_view sql);

    std::int64_t lastInsertRowId() const;
    // The result code of the last failed call on this connection.
    int errorCode() const { return sqlite3_errcode(db_.get()); }
    // The last failed call on this connection as an outcome, its message kept.
    WriteOutcome failure() const;
    sqlite3* handle() const { return db_.get(); }

private:
    struct Closer {
        // close_v2: a statement that outlives its connection object keeps the
        // connection alive until it is finalized, instead of leaking it.
        void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
    };
    explicit Database(sqlite3* db) : db_(db) {}
    std::unique_ptr<sqlite3, Closer> db_;
};

class Statement {
public:
    // Binds are 1-based, as in SQLite. Text and blobs are copied by SQLite.
    Statement& bind(int index, std::string_view text);
    Statement& bind(int index, std::int64_t value);
    Statement& bind(int index, int value) { return bind(index, static_cast<std::int64_t>(value)); }
    Statement& bindBlob(int index, std::span<const unsigned char> bytes);
    Statement& bindNull(int index);

    // Ready to run again with new bindings.
    Statement& reset();

    // SQLITE_ROW, SQLITE_DONE or an error code.
    int step();
    bool stepDone() { return step() == SQLITE_DONE; }

    bool isNull(int column) const;
    int columnInt(int column) const;
    std::int64_t columnInt64(int column) const;
    // NULL reads as the empty string.
    std::string columnText(int column) const;
    std::span<const unsigned char> columnBlob(int column) const;

private:
    friend class Database;
    struct Finalizer {
        void operator()(sqlite3_stmt* stmt) const { sqlite3_finalize(stmt); }
    };
    explicit Statement(sqlite3_stmt* stmt) : stmt_(stmt) {}
    std::unique_ptr<sqlite3_stmt, Finalizer> stmt_;
};

// Opens the database at `path` (never creating it), prepares `sql`, lets
// `bind` bind it and steps it once: the outcome of a one-statement write.
WriteOutcome runWrite(const std::string& path, std::string_view sql, const std::function<void(Statement&)>& bind);

// The favourite flag of game `id` in the database at `path`.
WriteOutcome storeFavorite(const std::string& path, std::int64_t id, bool favorite);
// The play count and last-played time of game `id`.
WriteOutcome storePlay(const std::string& path, std::int64_t id, int playCount, const std::string& lastPlayed);
// Removes game `id` from the database at `path`.
WriteOutcome deleteGameRow(const std::string& path, std::int64_t id);

// The one schema of data.db, exactly as every Ludexa has created it.
inline constexpr const char* kCreateGamesTable =
    "CREATE TABLE IF NOT EXISTS games (id INTEGER PRIMARY KEY AUTOINCREMENT,name TEXT NOT NULL,"
    "exe_path TEXT,folder_path TEXT,category TEXT,icon BLOB,created_at TEXT DEFAULT CURRENT_TIMESTAMP,"
    "last_played TEXT,play_count INTEGER DEFAULT 0,launch_args TEXT DEFAULT '',save_dir TEXT DEFAULT '',"
    "game_size INTEGER DEFAULT 0,is_favorite INTEGER DEFAULT 0);";

// Makes sure the database at `path` can be opened; a file that did not exist is
// created with the games table. An existing file is neither inspected nor altered.
[[nodiscard]] bool initDatabase(const std::string& path);
// The same for data.db beside the executable.
[[nodiscard]] bool initDatabase();

}  // namespace ludexa
