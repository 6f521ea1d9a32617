// The play-time worker, the play_sessions table, and the launcher's side of
// the hand-off.
#include "library/play_watch.h"

#include <ctime>
#include <set>

#include "app/GameLauncher.h"
#include "platform/event_wait.h"
#include "platform/paths.h"
#include "platform/processes.h"

namespace ludexa {
namespace {

bool tableExists(Database& db, const char* name) {
    auto query = db.prepare("SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ?");
    if (!query) return false;
    query->bind(1, std::string_view(name));
    return query->step() == SQLITE_ROW;
}

}  // namespace

std::unordered_map<std::int64_t, PlayTotals> loadPlayTotals(const std::string& databasePath) {
    std::unordered_map<std::int64_t, PlayTotals> totals;
    auto db = Database::open(databasePath, false);
    if (!db) return totals;
    // Prepared only where the table exists: reading never creates it.
    auto query = db->prepare("SELECT game_id, SUM(seconds), COUNT(*) FROM play_sessions GROUP BY game_id");
    if (!query) return totals;
    while (query->step() == SQLITE_ROW)
        totals[query->columnInt64(0)] = {query->columnInt64(1), query->columnInt(2)};
    return totals;
}

PlayTotals playTotalsOf(Database& db, std::int64_t gameId) {
    auto query = db.prepare("SELECT COALESCE(SUM(seconds), 0), COUNT(*) FROM play_sessions WHERE game_id = ?");
    if (!query) return {};
    query->bind(1, gameId);
    if (query->step() != SQLITE_ROW) return {};
    return {query->columnInt64(0), query->columnInt(1)};
}

std::vector<SessionRow> loadOpenSessions(const std::string& databasePath) {
    std::vector<SessionRow> rows;
    auto db = Database::open(databasePath, false);
    if (!db) return rows;
    auto query = db->prepare(
        "SELECT id, game_id, started_at, seconds, pid, pid_started FROM play_sessions WHERE open != 0");
    if (!query) return rows;
    while (query->step() == SQLITE_ROW) {
        SessionRow row;
        row.rowId = query->columnInt64(0);
        row.gameId = query->columnInt64(1);
        row.startedAt = query->columnInt64(2);
        row.seconds = query->columnInt64(3);
        row.pid = query->columnInt(4);
        row.pidStartedMs = query->columnInt64(5);
        rows.push_back(row);
    }
    return rows;
}

std::int64_t storeSession(Database& db, const SessionRow& row) {
    if (row.rowId != 0) {
        auto update = db.prepare("UPDATE play_sessions SET seconds = ?, open = ?, pid = ?, pid_started = ? WHERE id = ?");
        if (!update) return 0;
        update->bind(1, row.seconds).bind(2, row.open ? 1 : 0).bind(3, row.pid).bind(4, row.pidStartedMs).bind(5, row.rowId);
        return update->stepDone() ? row.rowId : 0;
    }
    if (!db.exec(kCreatePlaySessionsTable)) return 0;
    // One statement, so a game deleted meanwhile cannot get a row back.
    auto insert = db.prepare(
        "INSERT INTO play_sessions (game_id, started_at, seconds, open, pid, pid_started) "
        "SELECT ?, ?, ?, ?, ?, ? WHERE EXISTS (SELECT 1 FROM games WHERE id = ?)");
    if (!insert) return 0;
    insert->bind(1, row.gameId)
        .bind(2, row.startedAt)
        .bind(3, row.seconds)
        .bind(4, row.open ? 1 : 0)
        .bind(5, row.pid)
        .bind(6, row.pidStartedMs)
        .bind(7, row.gameId);
    if (!insert->stepDone() || sqlite3_changes(db.handle()) != 1) return 0;
    return db.lastInsertRowId();
}

bool deletePlaySessions(Database& db, std::int64_t gameId) {
    if (!tableExists(db, "play_sessions")) return true;
    auto remove = db.prepare("DELETE FROM play_sessions WHERE game_id = ?");
    if (!remove) return false;
    remove->bind(1, gameId);
    return remove->stepDone();
}

PlayWatcher::PlayWatcher(std::string databasePath, PlayTracker::Options options, Reader reader,
                         std::chrono::milliseconds interval, std::unordered_map<std::int64_t, std::string> folders)
    : databasePath_(std::move(databasePath)),
      reader_(std::move(reader)),
      interval_(interval),
      tracker_(std::move(options)),
      worker_([this, f = std::move(folders)]() mutable { body(std::move(f)); }) {}

PlayWatcher::~PlayWatcher() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    worker_.join();
}

void PlayWatcher::launched(std::int64_t gameId, int pid, const std::string& folder) {
    {
        const std::lock_guard lock(mutex_);
        requests_.push_back({true, gameId, pid, folder});
    }
    wake_.notify_all();
}

void PlayWatcher::forget(std::int64_t gameId) {
    {
        const std::lock_guard lock(mutex_);
        requests_.push_back({false, gameId, 0, {}});
    }
    wake_.notify_all();
}

std::unordered_map<std::int64_t, PlayTotals> PlayWatcher::takeTotals() {
    const std::lock_guard lock(totalsMutex_);
    totalsReady_.store(false, std::memory_order_release);
    return std::exchange(totals_, {});
}

void PlayWatcher::apply(const std::vector<Request>& requests, const ProcessSnapshot& snapshot) {
    for (const auto& r : requests) {
        if (r.launch)
            tracker_.launched(r.gameId, r.pid, resolvedPath(r.folder), snapshot.nowMs, snapshot.wallSeconds);
        else
            tracker_.forget(r.gameId);
    }
}

void PlayWatcher::persist(const std::vector<PlayTracker::Write>& writes) {
    if (writes.empty()) return;
    auto db = Database::open(databasePath_, false);
    if (!db) return;
    std::set<std::int64_t> changed;
    for (const auto& w : writes) {
        const std::int64_t id = storeSession(*db, w.row);
        if (id == 0) continue;
        if (w.row.rowId == 0) tracker_.rowStored(w.session, id);
        changed.insert(w.row.gameId);
    }
    if (changed.empty()) return;
    std::unordered_map<std::int64_t, PlayTotals> totals;
    for (const auto gameId : changed) totals[gameId] = playTotalsOf(*db, gameId);
    const std::lock_guard lock(totalsMutex_);
    for (const auto& [gameId, t] : totals) totals_[gameId] = t;
    totalsReady_.store(true, std::memory_order_release);
    wakeMainLoop();
}

void PlayWatcher::body(std::unordered_map<std::int64_t, std::string> folders) {
    bool resuming = false;
    for (const auto& row : loadOpenSessions(databasePath_)) {
        const auto folder = folders.find(row.gameId);
        if (folder == folders.end()) {
            SessionRow closed = row;  // its game is gone
            closed.open = false;
            persist({{0, closed}});
        } else {
            tracker_.resume(row, resolvedPath(folder->second));
            resuming = true;
        }
    }
    folders.clear();

    std::unique_lock lock(mutex_);
    for (bool first = true;; first = false) {
        const auto woken = [this] { return stopping_ || !requests_.empty(); };
        if (!(first && resuming)) {
            // With nothing running there is no timer at all: only a launch or
            // the end wakes the thread.
            if (tracker_.idle())
                wake_.wait(lock, woken);
            else
                wake_.wait_for(lock, interval_, woken);
        }
        if (stopping_) break;
        const auto requests = std::exchange(requests_, {});
        lock.unlock();
        const ProcessSnapshot snapshot = reader_();
        apply(requests, snapshot);
        persist(tracker_.observe(snapshot));
        lock.lock();
    }
    const auto requests = std::exchange(requests_, {});
    lock.unlock();
    if (tracker_.idle() && requests.empty()) return;
    const ProcessSnapshot snapshot = reader_();
    apply(requests, snapshot);
    persist(tracker_.observe(snapshot));
    persist(tracker_.stop(snapshot.nowMs));
}

ProcessSnapshot readProcessSnapshot() {
    ProcessSnapshot snapshot;
    snapshot.processes = readProcessTable();
    snapshot.nowMs = bootClockMs();
    snapshot.wallSeconds = static_cast<std::int64_t>(std::time(nullptr));
    return snapshot;
}

void GameLauncher::applyPlayTotals(const std::unordered_map<std::int64_t, PlayTotals>& totals) {
    if (totals.empty()) return;
    bool selectedChanged = false;
    for (std::size_t i = 0; i < games.size(); ++i) {
        const auto found = totals.find(games[i].id);
        if (found == totals.end()) continue;
        games[i].play_seconds = found->second.seconds;
        games[i].play_sessions = found->second.sessions;
        if (static_cast<int>(i) == selectedIndex) selectedChanged = true;
    }
    if (!selectedChanged || desktopMode) return;
    // Only the header changed: whoever is reading the description keeps their place.
    const float scroll = textBox.scrollOffset;
    const std::size_t oldLength = textBox.text.size();
    const int selStart = textBox.selStart, selEnd = textBox.selEnd;
    const std::size_t headerEnd = textBox.text.find(L'\r');
    updateRichEditText();
    const int shift = static_cast<int>(textBox.text.size()) - static_cast<int>(oldLength);
    if (headerEnd != std::wstring::npos && std::min(selStart, selEnd) > static_cast<int>(headerEnd)) {
        textBox.selStart = selStart + shift;
        textBox.selEnd = selEnd + shift;
    }
    textBox.scrollOffset = std::min(scroll, textBox.maxWheelScroll());
}

void GameLauncher::startPlayWatch() {
    std::unordered_map<std::int64_t, std::string> folders;
    for (const auto& game : games) folders[game.id] = game.folder_path;
    PlayTracker::Options options;
    options.homeFolder = userHomeFolder();
    options.ownPid = currentProcessId();
    playWatcher = std::make_unique<PlayWatcher>(databasePath(), std::move(options), readProcessSnapshot,
                                                std::chrono::milliseconds(kPlayWatchIntervalMs), std::move(folders));
}

void GameLauncher::collectPlayTime() {
    if (playWatcher && playWatcher->totalsWaiting()) {
        applyPlayTotals(playWatcher->takeTotals());
        requestFrame(FrameReason::PlayTimeArrived);
    }
}

}  // namespace ludexa
