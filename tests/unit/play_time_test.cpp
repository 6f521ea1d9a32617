// Play time: sessions from a made-up process table and clock, rows in data.db, texts.
#include <gtest/gtest.h>

#include <signal.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <unordered_map>

#include "library/database.h"
#include "library/play_time.h"
#include "library/play_watch.h"
#include "platform/processes.h"
#include "platform/shell.h"
#include "temp_dir.h"

using namespace ludexa;

namespace {

constexpr std::int64_t kDate = 1'700'000'000;  // the system's date at the first reading

ProcessInfo proc(int pid, int parent, std::string exe, std::string cwd, std::int64_t startedMs) {
    return {pid, parent, std::move(exe), std::move(cwd), startedMs};
}

// The system as the tests script it: a process table and two clocks.
struct FakeSystem {
    std::int64_t nowMs = 100'000;
    std::int64_t wallSeconds = kDate;
    std::vector<ProcessInfo> table{proc(1, 0, "/usr/lib/systemd/systemd", "/", 0),
                                   proc(50, 1, "/usr/bin/bash", "/home/ann", 1'000),
                                   proc(60, 1, "/opt/ludexa/ludexa", "/opt/ludexa", 2'000)};

    ProcessSnapshot snapshot() const { return {nowMs, wallSeconds, table}; }
    void advance(std::int64_t ms) {
        nowMs += ms;
        wallSeconds += ms / 1000;
    }
    void start(ProcessInfo p) {
        p.startedMs = nowMs;
        table.push_back(std::move(p));
    }
    void exit(int pid) {
        std::erase_if(table, [&](const ProcessInfo& p) { return p.pid == pid; });
        for (auto& p : table)
            if (p.parentPid == pid) p.parentPid = 1;  // orphans go to init
    }
};

PlayTracker::Options options() {
    PlayTracker::Options o;
    o.homeFolder = "/home/ann";
    o.ownPid = 60;
    return o;
}

// Readings every two seconds for `ms`; every write they produce.
std::vector<PlayTracker::Write> run(PlayTracker& tracker, FakeSystem& sys, std::int64_t ms) {
    std::vector<PlayTracker::Write> writes;
    for (std::int64_t t = 0; t < ms; t += 2000) {
        sys.advance(2000);
        for (auto& w : tracker.observe(sys.snapshot())) writes.push_back(w);
    }
    return writes;
}

// Starts a game's program in its own folder, as the launcher would.
void launch(PlayTracker& tracker, FakeSystem& sys, std::int64_t gameId, int pid, const std::string& folder) {
    sys.start(proc(pid, 60, folder + "/run", folder, 0));
    tracker.launched(gameId, pid, folder, sys.nowMs, sys.wallSeconds);
}

struct Seen {
    std::int64_t gameId, seconds;
    bool open;
    std::int64_t rowId = 0;
    bool operator==(const Seen&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Seen& s) {
    return out << "game " << s.gameId << ", " << s.seconds << " s, open " << s.open << ", row " << s.rowId;
}

std::vector<Seen> seen(const std::vector<PlayTracker::Write>& writes) {
    std::vector<Seen> out;
    for (const auto& w : writes) out.push_back({w.row.gameId, w.row.seconds, w.row.open, w.row.rowId});
    return out;
}

// The fake system read by a watcher's thread: a second passes per reading.
struct SharedSystem {
    std::mutex mutex;
    FakeSystem sys;  // guarded by mutex

    std::function<ProcessSnapshot()> reader() {
        return [this] {
            const std::lock_guard lock(mutex);
            sys.advance(1000);
            return sys.snapshot();
        };
    }
    void edit(const std::function<void(FakeSystem&)>& change) {
        const std::lock_guard lock(mutex);
        change(sys);
    }
    // Waits until the watcher took `readings` more readings.
    bool readingsLater(std::int64_t readings) {
        std::int64_t until = 0;
        {
            const std::lock_guard lock(mutex);
            until = sys.nowMs + readings * 1000;
        }
        return waitFor([&] {
            const std::lock_guard lock(mutex);
            return sys.nowMs > until;
        });
    }
    static bool waitFor(const std::function<bool()>& condition) {
        for (int i = 0; i < 2000 && !condition(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
        return condition();
    }
};

class PlayTrackerRun : public ::testing::Test {
protected:
    FakeSystem sys;
    PlayTracker tracker{options()};
};

// data.db with games 1 and 2, and the fake system a watcher's thread reads.
class PlayWatchLibrary : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(initDatabase(db));
        conn = Database::open(db, false);
        ASSERT_TRUE(conn && conn->exec("INSERT INTO games (id, name) VALUES (1, 'A'), (2, 'B')"));
    }
    test::ScopedTempDir dir;
    std::string db = dir.file("data.db");
    std::optional<Database> conn;
    SharedSystem shared;
};

}  // namespace

// The script backgrounds the game and exits: the orphaned game is known by its folder.
TEST_F(PlayTrackerRun, LauncherScriptThatExitsLeavesItsGameRunning) {
    tracker.launched(7, 200, "/games/Star/", sys.nowMs, sys.wallSeconds);
    sys.start(proc(201, 1, "/games/Star/bin/star", "/home/ann", 0));
    EXPECT_TRUE(run(tracker, sys, 10'000).empty());
    sys.exit(201);
    // 10 s seen, then half of the last two.
    EXPECT_EQ(seen(run(tracker, sys, 2000)), (std::vector<Seen>{{7, 11, false}}));
    EXPECT_TRUE(tracker.idle());
}

TEST_F(PlayTrackerRun, ForkedProcessesKeepTheSessionWhereverTheyRun) {
    sys.start(proc(300, 60, "/usr/bin/wine", "/home/ann", 0));
    tracker.launched(3, 300, "C:\\Games\\Doom", sys.nowMs, sys.wallSeconds);  // no usable folder
    run(tracker, sys, 2000);
    sys.start(proc(301, 300, "/usr/lib/wine/wine64-preloader", "/home/ann", 0));
    run(tracker, sys, 2000);
    sys.exit(300);  // the child lives on as an orphan, and starts one more
    sys.start(proc(302, 301, "/usr/bin/aplay", "/tmp", 0));
    EXPECT_TRUE(run(tracker, sys, 6000).empty());
    sys.exit(301);
    EXPECT_TRUE(run(tracker, sys, 2000).empty());  // its own child still plays
    sys.exit(302);
    const auto writes = run(tracker, sys, 2000);
    EXPECT_EQ(seen(writes), (std::vector<Seen>{{3, 13, false}}));
    EXPECT_EQ(writes.at(0).row.pid, 300);
}

TEST_F(PlayTrackerRun, TwoGamesAtOnceAndWhatBelongsToNeither) {
    // Opened before the launch in the game's folder: not the game.
    sys.table.push_back(proc(70, 1, "/usr/bin/bash", "/games/A", sys.nowMs - 60'000));
    launch(tracker, sys, 1, 400, "/games/A");
    run(tracker, sys, 4000);
    launch(tracker, sys, 2, 500, "/games/B");
    run(tracker, sys, 4000);
    sys.exit(400);
    EXPECT_EQ(seen(run(tracker, sys, 2000)), (std::vector<Seen>{{1, 9, false}}));
    sys.exit(500);
    EXPECT_EQ(seen(run(tracker, sys, 2000)), (std::vector<Seen>{{2, 7, false}}));
    EXPECT_TRUE(tracker.idle());
}

TEST_F(PlayTrackerRun, LaunchesThatShowNoProcessGetNoSession) {
    tracker.launched(5, 0, "", sys.nowMs, sys.wallSeconds);  // a URI handed to another program
    tracker.launched(6, 999, "/games/Gone", sys.nowMs, sys.wallSeconds);  // exited before we looked
    EXPECT_TRUE(run(tracker, sys, 10'000).empty());
    EXPECT_TRUE(tracker.idle());
    // A process given pid 999 later is not the game: the launch was given up.
    sys.start(proc(999, 1, "/usr/bin/cat", "/home/ann", 0));
    EXPECT_TRUE(run(tracker, sys, 2000).empty());
    // The launcher itself lives in a game's folder: it is never the game.
    tracker.launched(8, 0, "/opt/ludexa", sys.nowMs, sys.wallSeconds);
    for (auto& p : sys.table)
        if (p.pid == 60) p.startedMs = sys.nowMs;
    EXPECT_TRUE(run(tracker, sys, 12'000).empty());
    EXPECT_TRUE(tracker.idle());
}

TEST_F(PlayTrackerRun, WritesEveryMinuteAndJoinsARelaunch) {
    launch(tracker, sys, 9, 700, "/games/Long");
    const auto writes = run(tracker, sys, 60'000);
    ASSERT_EQ(seen(writes), (std::vector<Seen>{{9, 60, true, 0}}));
    tracker.rowStored(writes[0].session, 41);
    // Started again while it runs: the same session goes on.
    launch(tracker, sys, 9, 701, "/games/Long");
    sys.exit(700);
    EXPECT_EQ(seen(run(tracker, sys, 60'000)), (std::vector<Seen>{{9, 120, true, 41}}));
    sys.exit(701);
    EXPECT_EQ(seen(run(tracker, sys, 2000)), (std::vector<Seen>{{9, 121, false, 41}}));
}

TEST_F(PlayTrackerRun, StillRunningWhenTheLauncherQuits) {
    launch(tracker, sys, 11, 800, "/games/Q");
    launch(tracker, sys, 12, 900, "/games/R");
    run(tracker, sys, 10'000);
    sys.advance(1000);
    const auto stopped = tracker.stop(sys.nowMs);
    ASSERT_EQ(seen(stopped), (std::vector<Seen>{{11, 11, true}, {12, 11, true}}));
    EXPECT_TRUE(tracker.idle());
    SessionRow left = stopped[0].row, other = stopped[1].row;
    left.rowId = 5;
    other.rowId = 6;

    // Five minutes later game 11 still runs (the time away counts); game 12 ended meanwhile.
    sys.advance(300'000);
    sys.exit(900);
    PlayTracker next(options());
    next.resume(left, "/games/Q");
    next.resume(other, "/games/R");
    sys.advance(2000);
    EXPECT_EQ(seen(next.observe(sys.snapshot())), (std::vector<Seen>{{12, 11, false, 6}}));
    sys.exit(800);
    const auto writes = run(next, sys, 2000);
    // 10 + 1 + 300 + 2, then half of the last two.
    EXPECT_EQ(seen(writes), (std::vector<Seen>{{11, 314, false, 5}}));
    EXPECT_EQ(writes.at(0).row.startedAt, kDate);
}

TEST_F(PlayTrackerRun, ClockChangesAndSuspendDoNotStretchASession) {
    launch(tracker, sys, 13, 1000, "/games/C");
    run(tracker, sys, 4000);
    sys.wallSeconds -= 3600;  // the date is set back an hour
    run(tracker, sys, 4000);
    sys.wallSeconds += 86'400;  // and a day forward
    run(tracker, sys, 4000);
    sys.nowMs += 8 * 3'600'000;  // the machine slept eight hours with the game open
    run(tracker, sys, 2000);
    sys.exit(1000);
    const auto writes = run(tracker, sys, 2000);
    EXPECT_EQ(seen(writes), (std::vector<Seen>{{13, 4 + 4 + 4 + 30 + 1, false}}));  // the sleep counts as at most 30 s
    EXPECT_EQ(writes.at(0).row.startedAt, kDate);
}

TEST(PlayTime, FoldersAndTexts) {
    EXPECT_TRUE(pathInsideFolder("/games/A/bin/a", "/games/A"));
    EXPECT_TRUE(pathInsideFolder("/games/A", "/games/A"));
    EXPECT_FALSE(pathInsideFolder("/games/AB/a", "/games/A"));
    EXPECT_FALSE(pathInsideFolder("", "/games/A"));
    EXPECT_EQ(watchableFolder("/games/A//", "/home/ann"), "/games/A");
    for (const char* shared : {"/", "/usr/bin/", "/usr/games", "/home", "/home/ann", "/home/ann/.local/bin", "/tmp", "",
                               "C:\\Games\\X", "games/relative"})
        EXPECT_EQ(watchableFolder(shared, "/home/ann"), "") << shared;

    // A game started but hardly played is not one never played.
    EXPECT_EQ(formatPlayTime(0), "不足 1 秒");
    EXPECT_EQ(shownPlayTime({0, 1}), "不足 1 秒");
    EXPECT_EQ(formatPlayTime(59), "59 秒");
    EXPECT_EQ(formatPlayTime(3599), "59 分钟");
    EXPECT_EQ(formatPlayTime(3600), "1.0 小时");
    EXPECT_EQ(playTimeSummary({}), "未游玩");
    EXPECT_EQ(playTimeSummary({1500, 3}), "25 分钟，共 3 次");
}

TEST_F(PlayTrackerRun, WineRunningTheGameFromItsCommandLineIsTheGame) {
    const std::string folder = "/home/ann/.local/share/Steam/steamapps/common/Pal";
    const auto wine = [](int pid, std::string exe, std::vector<std::string> args) {
        ProcessInfo p = proc(pid, 1, std::move(exe), "/home/ann", 0);
        p.arguments = std::move(args);
        return p;
    };
    tracker.launched(5, 0, folder, sys.nowMs, sys.wallSeconds);  // steam://: the started process is not the game
    // Another game under Wine, and a program that is no Wine naming the folder.
    sys.start(wine(500, "/usr/lib/wine/wine64-preloader", {"wine64-preloader", "Z:\\games\\Other\\other.exe"}));
    sys.start(wine(501, "/usr/bin/less", {"less", folder + "/readme.txt"}));
    run(tracker, sys, 4000);
    // Proton's preloader, with the game as a Z: path.
    sys.start(wine(502, "/home/ann/.local/share/Steam/steamapps/common/Proton 9.0/files/bin/wine64-preloader",
                   {"/home/ann/.local/share/Steam/steamapps/common/Proton 9.0/files/bin/wine64",
                    "z:\\home\\ann\\.local\\share\\Steam\\steamapps\\common\\Pal\\Pal.exe"}));
    run(tracker, sys, 4000);
    sys.exit(502);
    // From the launch on, 8 s seen (the others never ended), then half of the last two.
    EXPECT_EQ(seen(run(tracker, sys, 2000)), (std::vector<Seen>{{5, 9, false}}));
    EXPECT_EQ(unixPathOfWineWord("C:\\Games\\x.exe"), "");
}

TEST_F(PlayWatchLibrary, SessionsReachDataDbAndTheMainThread) {
    // Reading totals of a library without sessions leaves the file as it was.
    EXPECT_TRUE(loadPlayTotals(db).empty());
    EXPECT_TRUE(loadOpenSessions(db).empty());
    const auto tableCount = [&] {
        auto q = conn->prepare("SELECT count(*) FROM sqlite_master WHERE name = 'play_sessions'");
        return q && q->step() == SQLITE_ROW ? q->columnInt(0) : -1;
    };
    EXPECT_EQ(tableCount(), 0);

    const auto waitFor = SharedSystem::waitFor;
    auto o = options();
    o.writeEveryMs = 1'000'000'000;  // the fake clock runs a second per reading: no minute writes here
    {
        PlayWatcher watcher(db, o, shared.reader(), std::chrono::milliseconds(5), {{1, "/games/A"}, {2, "/games/B"}});
        shared.edit([](FakeSystem& s) {
            s.start(proc(400, 60, "/games/A/a", "/games/A", 0));
            s.start(proc(500, 60, "/games/B/b", "/games/B", 0));
            s.start(proc(600, 60, "/games/C/c", "/games/C", 0));
        });
        watcher.launched(1, 400, "/games/A");
        watcher.launched(2, 500, "/games/B");
        watcher.launched(3, 600, "/games/C");  // not in the library (deleted meanwhile)
        ASSERT_TRUE(shared.readingsLater(5));
        // While they run, their totals grow from memory: nothing is written yet.
        std::unordered_map<std::int64_t, PlayTotals> shown;
        const auto collect = [&] {
            for (const auto& [id, t] : watcher.takeTotals()) shown[id] = t;
        };
        ASSERT_TRUE(waitFor([&] {
            collect();
            return shown.count(1) && shown[1].seconds >= 3;
        }));
        EXPECT_EQ(shown.at(1).sessions, 1);
        EXPECT_EQ(tableCount(), 0);
        shared.edit([](FakeSystem& s) { s.exit(400); });
        // Once it ends, what is shown settles on what was stored.
        ASSERT_TRUE(waitFor([&] {
            collect();
            const auto stored = loadPlayTotals(db);
            return stored.count(1) && shown[1] == stored.at(1);
        }));
        EXPECT_GE(shown.at(1).seconds, 5);
        watcher.forget(2);  // game 2 deleted: nothing more is written for it
        shared.edit([](FakeSystem& s) { s.start(proc(401, 60, "/games/A/a", "/games/A", 0)); });
        watcher.launched(1, 401, "/games/A");
        ASSERT_TRUE(shared.readingsLater(4));
    }  // the launcher quits while game 1 runs again
    EXPECT_EQ(tableCount(), 1);

    auto rows = conn->prepare("SELECT game_id, open, seconds > 0 FROM play_sessions ORDER BY id");
    ASSERT_TRUE(rows);
    std::vector<std::tuple<std::int64_t, int, int>> got;
    while (rows->step() == SQLITE_ROW) got.emplace_back(rows->columnInt64(0), rows->columnInt(1), rows->columnInt(2));
    EXPECT_EQ(got, (std::vector<std::tuple<std::int64_t, int, int>>{{1, 0, 1}, {1, 1, 1}}));
    EXPECT_EQ(loadOpenSessions(db).size(), 1u);
    EXPECT_EQ(loadPlayTotals(db).at(1).sessions, 2);

    // Deleting a game takes its sessions along; the table's absence is no failure.
    EXPECT_TRUE(deletePlaySessions(*conn, 1));
    EXPECT_TRUE(loadPlayTotals(db).empty());
    ASSERT_TRUE(conn->exec("DROP TABLE play_sessions"));
    EXPECT_TRUE(deletePlaySessions(*conn, 1));
}

TEST(ProcessTable, TheStartedProgramIsSeenWithItsFolderAndStartTime) {
    test::ScopedTempDir dir;
    const std::string folder = dir.file("game 游戏");
    std::filesystem::create_directories(folder);
    const std::int64_t before = bootClockMs();
    // The shell writes its own pid and its arguments, then becomes the sleeping "game".
    const StartResult started =
        spawnDetached({"/bin/sh", "-c", "printf '%s|' $$ \"$@\" > pid; exec sleep 3", "sh", "a b", "中"}, folder);
    ASSERT_TRUE(started.started);
    const int pid = started.pid;
    ASSERT_GT(pid, 0);
    const std::string expected = std::to_string(pid) + "|a b|中|";  // the game's pid, not an intermediate's
    const auto written = [&] {
        std::ifstream in(folder + "/pid");
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    SharedSystem::waitFor([&] { return written() == expected; });
    EXPECT_EQ(written(), expected);
    EXPECT_EQ(spawnDetached({"/nonexistent/program"}, "").error, "找不到程序文件。");

    std::optional<ProcessInfo> game;
    for (auto& p : readProcessTable())
        if (p.pid == pid) game = p;
    ASSERT_TRUE(game);
    EXPECT_EQ(game->workingFolder, folder);
    // A game folder reached through a link is recognised by the real path /proc shows.
    std::filesystem::create_directory_symlink(folder, dir.file("link"));
    EXPECT_EQ(resolvedPath(dir.file("link")), folder);
    EXPECT_EQ(resolvedPath(dir.file("missing")), dir.file("missing"));
    EXPECT_TRUE(game->executable.ends_with("/sleep")) << game->executable;
    EXPECT_GE(game->startedMs, before - 50);  // clock ticks are coarser than milliseconds
    EXPECT_LE(game->startedMs, bootClockMs());
    EXPECT_GT(game->parentPid, 0);
    kill(pid, SIGTERM);
}

// A refused write is reported once, and again only after one went through.
TEST_F(PlayWatchLibrary, RefusedSessionWritesAreReportedOnce) {
    ASSERT_TRUE(conn->exec(kCreatePlaySessionsTable));
    const auto veto = [&](const char* event) {
        return conn->exec((std::string("CREATE TRIGGER veto BEFORE ") + event +
                           " ON play_sessions BEGIN SELECT RAISE(ABORT, 'full'); END")
                              .c_str());
    };
    ASSERT_TRUE(veto("INSERT"));

    auto o = options();
    o.writeEveryMs = 1000;  // a write at every reading
    PlayWatcher watcher(db, o, shared.reader(), std::chrono::milliseconds(5), {{1, "/games/A"}});
    shared.edit([](FakeSystem& s) { s.start(proc(400, 60, "/games/A/a", "/games/A", 0)); });
    watcher.launched(1, 400, "/games/A");
    ASSERT_TRUE(shared.readingsLater(10));
    ASSERT_TRUE(watcher.failureWaiting());
    const auto failure = watcher.takeWriteFailure();
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->code, SQLITE_CONSTRAINT);
    EXPECT_EQ(failure->message, "full");
    ASSERT_TRUE(shared.readingsLater(10));
    EXPECT_FALSE(watcher.failureWaiting()) << "said once";

    ASSERT_TRUE(conn->exec("DROP TRIGGER veto"));
    ASSERT_TRUE(shared.readingsLater(5));
    EXPECT_TRUE(watcher.totalsWaiting());
    ASSERT_TRUE(veto("UPDATE"));
    ASSERT_TRUE(shared.readingsLater(5));
    EXPECT_TRUE(watcher.failureWaiting()) << "refused again after a write went through";
    ASSERT_TRUE(conn->exec("DROP TRIGGER veto"));  // the last write, at the end, goes through
}
