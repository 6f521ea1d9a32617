// SQLite wrapper and the creation of data.db.
#include "library/database.h"
#include "library/play_watch.h"

#include "platform/paths.h"

namespace ludexa {

std::optional<Database> Database::open(const std::string& path, bool create, WriteOutcome* failure) {
    sqlite3* raw = nullptr;
    const int flags = SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0);
    const int rc = sqlite3_open_v2(path.c_str(), &raw, flags, nullptr);
    Database db(raw);  // closes the handle on every path, also when the open failed
    if (rc != SQLITE_OK) {
        if (failure != nullptr) *failure = raw != nullptr ? db.failure() : WriteOutcome{rc, {}};
        return std::nullopt;
    }
    sqlite3_busy_timeout(raw, kBusyTimeoutMs);
    return db;
}

std::optional<Database> Database::openReadOnly(const std::string& path) {
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(path.c_str(), &raw, SQLITE_OPEN_READONLY, nullptr);
    Database db(raw);
    if (rc != SQLITE_OK) return std::nullopt;
    sqlite3_busy_timeout(raw, kBusyTimeoutMs);
    return db;
}

bool Database::exec(const char* sql) {
    char* error = nullptr;
    const int rc = sqlite3_exec(db_.get(), sql, nullptr, nullptr, &error);
    sqlite3_free(error);
    return rc == SQLITE_OK;
}

std::optional<Statement> Database::prepare(std::string_view sql) {
    sqlite3_stmt* raw = nullptr;
    const int rc = sqlite3_prepare_v2(db_.get(), sql.data(), static_cast<int>(sql.size()), &raw, nullptr);
    Statement stmt(raw);
    if (rc != SQLITE_OK || raw == nullptr) return std::nullopt;
    return stmt;
}

WriteOutcome Database::failure() const {
    const int code = sqlite3_errcode(db_.get());
    // A failure whose code was overwritten by a later successful call is
    // still a failure.
    return {code == SQLITE_OK ? SQLITE_ERROR : code, sqlite3_errmsg(db_.get())};
}

std::int64_t Database::lastInsertRowId() const { return sqlite3_last_insert_rowid(db_.get()); }

Statement& Statement::bind(int index, std::string_view text) {
    sqlite3_bind_text(stmt_.get(), index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
    return *this;
}

Statement& Statement::bind(int index, std::int64_t value) {
    sqlite3_bind_int64(stmt_.get(), index, value);
    return *this;
}

Statement& Statement::bindBlob(int index, std::span<const unsigned char> bytes) {
    sqlite3_bind_blob(stmt_.get(), index, bytes.data(), static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
    return *this;
}

Statement& Statement::bindNull(int index) {
    sqlite3_bind_null(stmt_.get(), index);
    return *this;
}

Statement& Statement::reset() {
    sqlite3_reset(stmt_.get());
    sqlite3_clear_bindings(stmt_.get());
    return *this;
}

int Statement::step() { return sqlite3_step(stmt_.get()); }

bool Statement::isNull(int column) const { return sqlite3_column_type(stmt_.get(), column) == SQLITE_NULL; }
int Statement::columnInt(int column) const { return sqlite3_column_int(stmt_.get(), column); }
std::int64_t Statement::columnInt64(int column) const { return sqlite3_column_int64(stmt_.get(), column); }

std::string Statement::columnText(int column) const {
    const auto* text = sqlite3_column_text(stmt_.get(), column);
    if (text == nullptr) return {};
    return std::string(reinterpret_cast<const char*>(text),
                       static_cast<std::size_t>(sqlite3_column_bytes(stmt_.get(), column)));
}

std::span<const unsigned char> Statement::columnBlob(int column) const {
    const auto* data = static_cast<const unsigned char*>(sqlite3_column_blob(stmt_.get(), column));
    const int size = sqlite3_column_bytes(stmt_.get(), column);
    if (data == nullptr || size <= 0) return {};
    return {data, static_cast<std::size_t>(size)};
}

std::string writeFailureReason(const WriteOutcome& outcome, const std::string& file) {
    switch (outcome.code & 0xFF) {  // extended codes carry the primary code in the low byte
        case SQLITE_BUSY:
        case SQLITE_LOCKED: return file + " 正被其他程序使用，请关闭占用它的程序后重试。";
        case SQLITE_READONLY:
        case SQLITE_PERM:
        case SQLITE_AUTH: return file + " 或它所在的文件夹是只读的，无法写入。";
        case SQLITE_CANTOPEN: return "无法打开 " + file + " 写入：它或它所在的文件夹是只读的，或文件已不存在。";
        case SQLITE_FULL: return "磁盘已满，请腾出空间后重试。";
        case SQLITE_IOERR: return "读写 " + file + " 时发生读写错误，请检查磁盘。";
        case SQLITE_CORRUPT:
        case SQLITE_NOTADB: return file + " 已损坏，或不是所需的数据库。";
        case SQLITE_CONSTRAINT:
            // A trigger's RAISE or a rule of the table: its own words.
            return "数据库拒绝了这次更改：" + (outcome.message.empty() ? std::string(sqlite3_errstr(outcome.code))
                                                                      : outcome.message);
        default: {
            std::string reason = "数据库错误：";
            reason += outcome.message.empty() ? sqlite3_errstr(outcome.code) : outcome.message;
            return reason;
        }
    }
}

WriteOutcome runWrite(const std::string& path, std::string_view sql, const std::function<void(Statement&)>& bind) {
    WriteOutcome failure;
    auto db = Database::open(path, false, &failure);
    if (!db) return failure;
    auto statement = db->prepare(sql);
    if (!statement) return db->failure();
    bind(*statement);
    if (statement->step() != SQLITE_DONE) return db->failure();
    return {};
}

WriteOutcome storeFavorite(const std::string& path, std::int64_t id, bool favorite) {
    return runWrite(path, "UPDATE games SET is_favorite=? WHERE id=?",
                    [&](Statement& update) { update.bind(1, favorite ? 1 : 0).bind(2, id); });
}

WriteOutcome storePlay(const std::string& path, std::int64_t id, int playCount, const std::string& lastPlayed) {
    return runWrite(path, "UPDATE games SET play_count = ?, last_played = ? WHERE id = ?", [&](Statement& update) {
        update.bind(1, playCount).bind(2, std::string_view(lastPlayed)).bind(3, id);
    });
}

WriteOutcome deleteGameRow(const std::string& path, std::int64_t id) {
    WriteOutcome openFailure;
    auto db = Database::open(path, false, &openFailure);
    if (!db) return openFailure;
    const auto failed = [&db] {
        auto outcome = db->failure();  // before the rollback changes it
        (void)db->exec("ROLLBACK");
        return outcome;
    };
    // The game and its play sessions go together or not at all.
    if (!db->exec("BEGIN IMMEDIATE")) return failed();
    if (!db->exec(("DELETE FROM games WHERE id = " + std::to_string(id)).c_str())) return failed();
    if (!deletePlaySessions(*db, id)) return failed();
    if (!db->exec("COMMIT")) return failed();
    return {};
}

bool initDatabase(const std::string& path) {
    const bool existed = pathExists(path);
    auto db = Database::open(path);
    if (!db) return false;
    if (!existed && !db->exec(kCreateGamesTable)) return false;
    return true;
}

bool initDatabase() { return initDatabase(databasePath()); }

}  // namespace ludexa
