// The play-time watch: a worker thread that reads the process table every few
// seconds while a game runs (and sleeps without a timer while none does),
// feeds PlayTracker, writes its sessions to data.db's play_sessions table and
// hands each changed game's totals to the main thread, a running game's with
// the time not written yet, so they grow while it is played.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

#include "library/database.h"
#include "library/play_time.h"

namespace ludexa {

// While a game runs, the process table is read this often.
inline constexpr int kPlayWatchIntervalMs = 2000;

// A table of its own, created with the first session: the games table and
// everything a build without play time reads stay as they are.
inline constexpr const char* kCreatePlaySessionsTable =
    "CREATE TABLE IF NOT EXISTS play_sessions (id INTEGER PRIMARY KEY AUTOINCREMENT, game_id INTEGER NOT NULL, "
    "started_at INTEGER NOT NULL, seconds INTEGER NOT NULL DEFAULT 0, open INTEGER NOT NULL DEFAULT 0, "
    "pid INTEGER NOT NULL DEFAULT 0, pid_started INTEGER NOT NULL DEFAULT 0);"
    "CREATE INDEX IF NOT EXISTS play_sessions_game ON play_sessions (game_id);";

// Every game's totals; empty when the table does not exist yet.
std::unordered_map<std::int64_t, PlayTotals> loadPlayTotals(const std::string& databasePath);
PlayTotals playTotalsOf(Database& db, std::int64_t gameId);
// Sessions the launcher left running when it last quit.
std::vector<SessionRow> loadOpenSessions(const std::string& databasePath);
// Inserts a row (rowId 0) or updates it. The id of the row, or 0 when nothing
// was written: a new row is only added while its game is in the library.
// A write the database refused (not a game that is gone) fills `failure`.
std::int64_t storeSession(Database& db, const SessionRow& row, WriteOutcome* failure = nullptr);

// What the user reads when a launch's play (its count, time or session)
// could not be written; the reason follows on the next line.
inline constexpr const char* kPlayNotSavedText = "这次游玩的记录（次数、时间、时长）未能保存，游戏照常运行。";
// True when the game's sessions are gone (or there never was a table).
bool deletePlaySessions(Database& db, std::int64_t gameId);

// The process table and both clocks, now.
ProcessSnapshot readProcessSnapshot();

class PlayWatcher {
public:
    using Reader = std::function<ProcessSnapshot()>;

    // Starts the worker. `folders` maps each game's id to its folder, for the
    // sessions left open by the last run.
    PlayWatcher(std::string databasePath, PlayTracker::Options options, Reader reader,
                std::chrono::milliseconds interval, std::unordered_map<std::int64_t, std::string> folders);
    // Stops the worker after a last reading; running sessions are written, still open.
    ~PlayWatcher();
    PlayWatcher(const PlayWatcher&) = delete;
    PlayWatcher& operator=(const PlayWatcher&) = delete;

    void launched(std::int64_t gameId, int pid, const std::string& folder);
    void forget(std::int64_t gameId);

    // Whether takeTotals has something (cheap: one atomic read).
    bool totalsWaiting() const { return totalsReady_.load(std::memory_order_acquire); }
    // The totals of the games whose sessions were written since the last call.
    std::unordered_map<std::int64_t, PlayTotals> takeTotals();

    // Whether takeWriteFailure has something (cheap: one atomic read).
    bool failureWaiting() const { return failureReady_.load(std::memory_order_acquire); }
    // A refused session write the user has not heard of; after one, later
    // refusals stay quiet until a write goes through again.
    std::optional<WriteOutcome> takeWriteFailure();
    // The user was told of a refused play write elsewhere (the launch's own):
    // the session writes that fail for the same reason stay quiet.
    void writeFailureSaid();

private:
    struct Request {
        bool launch = true;  // else forget
        std::int64_t gameId = 0;
        int pid = 0;
        std::string folder;
    };

    void body(std::unordered_map<std::int64_t, std::string> folders);
    void apply(const std::vector<Request>& requests, const ProcessSnapshot& snapshot);
    void persist(const std::vector<PlayTracker::Write>& writes);
    void noteWrite(const WriteOutcome& outcome);
    // The totals of the running games, their unwritten time included, for
    // those whose totals changed since they were last handed over.
    void publishRunning();
    void publish(const std::unordered_map<std::int64_t, PlayTotals>& totals);

    const std::string databasePath_;
    const Reader reader_;
    const std::chrono::milliseconds interval_;
    PlayTracker tracker_;  // worker thread only
    std::unordered_map<std::int64_t, PlayTotals> stored_;     // worker thread only: as last read from data.db
    std::unordered_map<std::int64_t, PlayTotals> published_;  // worker thread only: as last handed over

    std::mutex mutex_;
    std::condition_variable wake_;
    std::vector<Request> requests_;  // guarded by mutex_
    bool stopping_ = false;          // guarded by mutex_

    std::mutex totalsMutex_;
    std::unordered_map<std::int64_t, PlayTotals> totals_;  // guarded by totalsMutex_
    std::atomic<bool> totalsReady_{false};                 // set under totalsMutex_
    std::optional<WriteOutcome> failure_;                  // guarded by totalsMutex_
    bool failureSaid_ = false;                             // guarded by totalsMutex_
    std::atomic<bool> failureReady_{false};                // set under totalsMutex_

    std::thread worker_;  // last: starts once everything above exists
};

}  // namespace ludexa
