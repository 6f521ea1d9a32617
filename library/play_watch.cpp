// The play-time worker, the play_sessions table, and the launcher's side of
// the hand-off.
#include "library/play_watch.h"

#include <ctime>
#include <optional>
#include <set>

#include "app/GameLauncher.h"
#include "platform/dialogs.h"
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

std::int64_t storeSession(Database& db, const SessionRow& row, WriteOutcome* failure) {
    const auto refused = [&db, failure]() -> std::int64_t {
        if (failure != nullptr) *failure = db.failure();
        return 0;
    };
    if (row.rowId != 0) {
        auto update = db.prepare("UPDATE play_sessions SET seconds = ?, open = ?, pid = ?, pid_started = ? WHERE id = ?");
        if (!update) return refused();
        update->bind(1, row.seconds).bind(2, row.open ? 1 : 0).bind(3, row.pid).bind(4, row.pidStartedMs).bind(5, row.rowId);
        return update->stepDone() ? row.rowId : refused();
    }
    if (!db.exec(kCreatePlaySessionsTable)) return refused();
    // One statement, so a game deleted meanwhile cannot get a row back.
    auto insert = db.prepare(
        "INSERT INTO play_sessions (game_id, started_at, seconds, open, pid, pid_started) "
        "SELECT ?, ?, ?, ?, ?, ? WHERE EXISTS (SELECT 1 FROM games WHERE id = ?)");
    if (!insert) return refused();
    insert->bind(1, row.gameId)
        .bind(2, row.startedAt)
        .bind(3, row.seconds)
        .bind(4, row.open ? 1 : 0)
        .bind(5, row.pid)
        .bind(6, row.pidStartedMs)
        .bind(7, row.gameId);
    if (!insert->stepDone()) return refused();
    if (sqlite3_changes(db.handle()) != 1) return 0;  // its game is gone: nothing to keep
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

std::optional<WriteOutcome> PlayWatcher::takeWriteFailure() {
    const std::lock_guard lock(totalsMutex_);
    failureReady_.store(false, std::memory_order_release);
    return std::exchange(failure_, std::nullopt);
}

void PlayWatcher::writeFailureSaid() {
    const std::lock_guard lock(totalsMutex_);
    failureSaid_ = true;
}

void PlayWatcher::noteWrite(const WriteOutcome& outcome) {
    const std::lock_guard lock(totalsMutex_);
    // A disk that stays full refuses every minute's write: the user hears of
    // it once, and again only after a write has gone through in between.
    if (outcome.done()) {
        failureSaid_ = false;
        return;
    }
    if (failureSaid_) return;
    failureSaid_ = true;
    failure_ = outcome;
    failureReady_.store(true, std::memory_order_release);
    wakeMainLoop();
}

void PlayWatcher::persist(const std::vector<PlayTracker::Write>& writes) {
    if (writes.empty()) return;
    WriteOutcome failure;
    auto db = Database::open(databasePath_, false, &failure);
    if (!db) {
        noteWrite(failure);
        return;
    }
    std::set<std::int64_t> changed;
    for (const auto& w : writes) {
        WriteOutcome refused;
        const std::int64_t id = storeSession(*db, w.row, &refused);
        if (!refused.done()) failure = refused;
        if (id == 0) continue;
        if (w.row.rowId == 0) tracker_.rowStored(w.session, id);
        changed.insert(w.row.gameId);
    }
    noteWrite(failure);
    if (changed.empty()) return;
    std::unordered_map<std::int64_t, PlayTotals> totals;
    for (const auto gameId : changed) stored_[gameId] = totals[gameId] = playTotalsOf(*db, gameId);
    publish(totals);
}

void PlayWatcher::publish(const std::unordered_map<std::int64_t, PlayTotals>& totals) {
    std::unordered_map<std::int64_t, PlayTotals> fresh;
    for (const auto& [gameId, t] : totals) {
        const auto last = published_.find(gameId);
        if (last != published_.end() && last->second == t) continue;
        published_[gameId] = t;
        fresh[gameId] = t;
    }
    if (fresh.empty()) return;
    const std::lock_guard lock(totalsMutex_);
    for (const auto& [gameId, t] : fresh) totals_[gameId] = t;
    totalsReady_.store(true, std::memory_order_release);
    wakeMainLoop();
}

void PlayWatcher::publishRunning() {
    const auto running = tracker_.unwritten();
    if (running.empty()) return;
    std::unordered_map<std::int64_t, PlayTotals> totals;
    std::optional<Database> db;
    for (const auto& r : running) {
        auto stored = stored_.find(r.gameId);
        if (stored == stored_.end()) {
            // Read once per game and run; every write afterwards refreshes it.
            if (!db) db = Database::open(databasePath_, false);
            if (!db) return;
            stored = stored_.emplace(r.gameId, playTotalsOf(*db, r.gameId)).first;
        }
        PlayTotals& t = totals[r.gameId];
        t = stored->second;
        t.seconds += r.seconds;
        t.sessions += r.newSession ? 1 : 0;
    }
    publish(totals);
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
        publishRunning();
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

bool GameLauncher::applyPlayTotals(const std::unordered_map<std::int64_t, PlayTotals>& totals) {
    if (totals.empty()) return false;
    bool selectedChanged = false;
    const auto games = library.editGames();
    for (std::size_t i = 0; i < games.size(); ++i) {
        GameInfo& game = games[i];
        const auto found = totals.find(game.id);
        if (found == totals.end()) continue;
        const std::string before = shownPlayTime({game.play_seconds, game.play_sessions});
        game.play_seconds = found->second.seconds;
        game.play_sessions = found->second.sessions;
        if (static_cast<int>(i) == library.selectedIndex() && shownPlayTime(found->second) != before)
            selectedChanged = true;
    }
    if (!selectedChanged || library.desktopMode()) return false;
    // The header shows minutes once past the first one: only a change of
    // what it shows costs a layout and a frame.
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
    return true;
}

void GameLauncher::startPlayWatch() {
    std::unordered_map<std::int64_t, std::string> folders;
    for (const auto& game : library.games()) folders[game.id] = game.folder_path;
    PlayTracker::Options options;
    options.homeFolder = userHomeFolder();
    options.ownPid = currentProcessId();
    playWatcher = std::make_unique<PlayWatcher>(databasePath(), std::move(options), readProcessSnapshot,
                                                std::chrono::milliseconds(kPlayWatchIntervalMs), std::move(folders));
}

void GameLauncher::collectPlayTime() {
    if (playWatcher && playWatcher->totalsWaiting() && applyPlayTotals(playWatcher->takeTotals()))
        requestFrame(FrameReason::PlayTimeArrived);
    if (playWatcher && playWatcher->failureWaiting())
        if (const auto failure = playWatcher->takeWriteFailure()) {
            showMessageBox({std::string(kPlayNotSavedText) + "\n" + writeFailureReason(*failure), "错误",
                            MessageIcon::Error, MessageButtons::Ok, nativeHandle()});
            discardInputAfterModal();
        }
}

}  // namespace ludexa
