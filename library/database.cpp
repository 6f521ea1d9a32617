// SQLite wrapper and the creation of data.db.
#include "library/database.h"
#include "library/play_watch.h"

#include "platform/paths.h"

namespace ludexa {

std::optional<Database> Database::open(const std::string& path, bool create) {
    sqlite3* raw = nullptr;
    const int flags = SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0);
    const int rc = sqlite3_open_v2(path.c_str(), &raw, flags, nullptr);
    Database db(raw);  // closes the handle on every path, also when the open failed
    if (rc != SQLITE_OK) return std::nullopt;
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

WriteOutcome writeOutcomeOf(int rc) {
    switch (rc & 0xFF) {  // extended codes carry the primary code in the low byte
        case SQLITE_OK:
        case SQLITE_DONE:
        case SQLITE_ROW: return WriteOutcome::Done;
        case SQLITE_BUSY:
        case SQLITE_LOCKED: return WriteOutcome::Busy;
        default: return WriteOutcome::Failed;
    }
}

WriteOutcome storeFavorite(const std::string& path, std::int64_t id, bool favorite) {
    auto db = Database::open(path, false);
    if (!db) return WriteOutcome::Failed;
    auto update = db->prepare("UPDATE games SET is_favorite=? WHERE id=?");
    if (!update) return writeOutcomeOf(db->errorCode());
    update->bind(1, favorite ? 1 : 0).bind(2, id);
    return writeOutcomeOf(update->step());
}

WriteOutcome storePlay(const std::string& path, std::int64_t id, int playCount, const std::string& lastPlayed) {
    auto db = Database::open(path, false);
    if (!db) return WriteOutcome::Failed;
    auto update = db->prepare("UPDATE games SET play_count = ?, last_played = ? WHERE id = ?");
    if (!update) return writeOutcomeOf(db->errorCode());
    update->bind(1, playCount).bind(2, std::string_view(lastPlayed)).bind(3, id);
    return writeOutcomeOf(update->step());
}

WriteOutcome deleteGameRow(const std::string& path, std::int64_t id) {
    auto db = Database::open(path, false);
    if (!db) return WriteOutcome::Failed;
    const auto failed = [&db] {
        const auto outcome = writeOutcomeOf(db->errorCode());  // before the rollback changes it
        (void)db->exec("ROLLBACK");
        return outcome == WriteOutcome::Done ? WriteOutcome::Failed : outcome;
    };
    // The game and its play sessions go together or not at all.
    if (!db->exec("BEGIN IMMEDIATE")) return failed();
    if (!db->exec(("DELETE FROM games WHERE id = " + std::to_string(id)).c_str())) return failed();
    if (!deletePlaySessions(*db, id)) return failed();
    if (!db->exec("COMMIT")) return failed();
    return WriteOutcome::Done;
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
