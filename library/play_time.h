// Play time: deciding from snapshots of the process table when a game's play
// session starts, continues and ends, and how long it lasted. Pure logic: the
// snapshots and the clock come from outside (platform/processes.h in the
// program, a made-up table in the tests); library/play_watch.h runs it on a
// worker thread and keeps the sessions in data.db.
#pragma once

#include <cstdint>
#include <limits>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/processes.h"

namespace ludexa {

struct ProcessSnapshot {
    std::int64_t nowMs = 0;        // boot clock when the table was read
    std::int64_t wallSeconds = 0;  // the system's date then, seconds since 1970
    std::vector<ProcessInfo> processes;
};

// One row of play_sessions.
struct SessionRow {
    std::int64_t rowId = 0;  // 0 until the row is first written
    std::int64_t gameId = 0;
    std::int64_t startedAt = 0;  // the date the session began, seconds since 1970
    std::int64_t seconds = 0;    // how long it was played
    bool open = true;            // running, or the launcher quit while it ran
    int pid = 0;                 // the started process; 0 when unknown
    std::int64_t pidStartedMs = 0;
};

struct PlayTotals {
    std::int64_t seconds = 0;
    int sessions = 0;
    bool operator==(const PlayTotals&) const = default;
};

// "不足 1 秒" for none, "42 秒" below a minute, "25 分钟" below an hour, else
// "12.5 小时".
std::string formatPlayTime(std::int64_t seconds);
// The header's play time: "未游玩" without sessions, else the time.
std::string shownPlayTime(const PlayTotals& totals);
// "未游玩" without sessions, else the time and the number of sessions.
std::string playTimeSummary(const PlayTotals& totals);

// Whether `path` is `folder` or lies inside it (whole path components).
bool pathInsideFolder(const std::string& path, const std::string& folder);
// Whether the process runs Windows code through Wine or Proton: its program
// (or the name it was started by) is wine, wine64 or one of their preloaders.
bool isWineProcess(const ProcessInfo& process);
// The Unix path a Wine command-line word names: "Z:\\games\\x.exe" (Wine's
// drive for "/") and plain absolute paths; "" for anything else.
std::string unixPathOfWineWord(std::string_view word);

// The folder a game's processes are recognised by, or "" when its folder is
// shared by unrelated programs (/usr/bin, the home folder or above, ...) or
// is not an absolute path (a Windows folder of a wine game).
std::string watchableFolder(const std::string& folder, const std::string& homeFolder);

class PlayTracker {
public:
    struct Options {
        std::string homeFolder;
        int ownPid = 0;  // the launcher: never part of a game, wherever it lives
        std::int64_t writeEveryMs = 60'000;
        // How long a launch may take to show a process before it counts as
        // one we cannot see.
        std::int64_t graceMs = 10'000;
        // A longer gap between two readings (the machine slept) counts as this.
        std::int64_t maxStepMs = 30'000;
        // Processes in the game's folder that started this long before the
        // launch still belong to it; older ones (a shell open there) do not.
        std::int64_t startSlackMs = 5'000;
    };

    struct Write {
        std::uint64_t session = 0;  // hand back to rowStored once inserted
        SessionRow row;
    };

    explicit PlayTracker(Options options);

    // A launch of `gameId`: `pid` is the started process (0 when unknown),
    // `folder` the game's folder. A launch of a game whose session still runs
    // joins that session.
    void launched(std::int64_t gameId, int pid, const std::string& folder, std::int64_t nowMs,
                  std::int64_t wallSeconds);
    // A session the launcher left open when it last quit: the next
    // observation continues it when the game still runs and closes it
    // otherwise.
    void resume(const SessionRow& row, const std::string& folder);
    // The game was deleted: its sessions are dropped unwritten.
    void forget(std::int64_t gameId);

    // One reading of the process table. Returns the rows to write: sessions
    // that ended, and running ones whose last write is a minute old.
    std::vector<Write> observe(const ProcessSnapshot& snapshot);
    // The launcher quits: every running session is written, still open.
    std::vector<Write> stop(std::int64_t nowMs);

    void rowStored(std::uint64_t session, std::int64_t rowId);
    bool idle() const { return sessions_.empty(); }

    // What a running game has played beyond its stored rows: the seconds not
    // written yet, and whether its session has no row yet.
    struct Unwritten {
        std::int64_t gameId = 0;
        std::int64_t seconds = 0;
        bool newSession = false;
    };
    std::vector<Unwritten> unwritten() const;

private:
    using ProcessId = std::pair<int, std::int64_t>;  // pid, startedMs
    struct Root {
        int pid = 0;
        std::int64_t startedMs = -1;  // -1 until seen
    };
    struct Session {
        std::uint64_t key = 0;
        SessionRow row;
        std::string folder;  // "" when processes are followed from the roots only
        std::vector<Root> roots;
        std::set<ProcessId> members;
        std::int64_t beginMs = 0;
        std::int64_t minStartMs = std::numeric_limits<std::int64_t>::min();
        std::int64_t playedMs = 0;
        std::int64_t lastObservedMs = 0;
        std::int64_t lastWriteMs = 0;
        std::int64_t writtenSeconds = 0;  // in the last write handed out
        bool seen = false;
        bool resumed = false;
    };

    std::set<ProcessId> membersIn(Session& session, const ProcessSnapshot& snapshot,
                                  const std::multimap<int, std::size_t>& children);
    std::int64_t step(const Session& session, std::int64_t nowMs) const;
    static Write writeOf(Session& session);

    Options options_;
    std::vector<Session> sessions_;
    std::uint64_t nextKey_ = 1;
};

}  // namespace ludexa
