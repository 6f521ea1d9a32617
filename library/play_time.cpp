// Play sessions from process-table snapshots.
#include "library/play_time.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <string_view>

namespace ludexa {

std::string formatPlayTime(std::int64_t seconds) {
    if (seconds < 1) return "不足 1 秒";
    if (seconds < 60) return std::to_string(seconds) + " 秒";
    if (seconds < 3600) return std::to_string(seconds / 60) + " 分钟";
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "%.1f 小时", static_cast<double>(seconds) / 3600.0);
    return buffer;
}

std::string shownPlayTime(const PlayTotals& totals) {
    return totals.sessions > 0 ? formatPlayTime(totals.seconds) : "未游玩";
}

bool isWineProcess(const ProcessInfo& process) {
    const auto isWine = [](std::string_view path) {
        const auto slash = path.find_last_of('/');
        const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
        return name == "wine" || name == "wine64" || name == "wine-preloader" || name == "wine64-preloader";
    };
    return isWine(process.executable) || (!process.arguments.empty() && isWine(process.arguments[0]));
}

std::string unixPathOfWineWord(std::string_view word) {
    if (!word.empty() && word[0] == '/') return std::string(word);
    if (word.size() < 3 || (word[0] != 'Z' && word[0] != 'z') || word[1] != ':' || (word[2] != '\\' && word[2] != '/'))
        return {};
    std::string path(word.substr(2));
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

std::string playTimeSummary(const PlayTotals& totals) {
    if (totals.sessions <= 0) return "未游玩";
    return formatPlayTime(totals.seconds) + "，共 " + std::to_string(totals.sessions) + " 次";
}

bool pathInsideFolder(const std::string& path, const std::string& folder) {
    if (folder.empty() || path.size() < folder.size() || path.compare(0, folder.size(), folder) != 0) return false;
    return path.size() == folder.size() || folder.back() == '/' || path[folder.size()] == '/';
}

std::string watchableFolder(const std::string& folder, const std::string& homeFolder) {
    if (folder.empty() || folder.front() != '/') return {};
    std::string f = folder;
    while (f.size() > 1 && f.back() == '/') f.pop_back();
    // Programs of every kind live in these, and every shell starts in the
    // home folder: a game "in" one of them would never end.
    static constexpr std::array<std::string_view, 29> kShared = {
        "/", "/bin", "/sbin", "/lib", "/lib64", "/usr", "/usr/bin", "/usr/sbin", "/usr/lib", "/usr/lib64",
        "/usr/libexec", "/usr/share", "/usr/games", "/usr/local", "/usr/local/bin", "/usr/local/sbin",
        "/usr/local/games", "/usr/local/lib", "/usr/lib/x86_64-linux-gnu", "/usr/lib/wine", "/opt", "/tmp",
        "/var", "/var/tmp", "/etc", "/home", "/root", "/snap/bin", "/var/lib/flatpak/exports/bin"};
    if (std::find(kShared.begin(), kShared.end(), f) != kShared.end()) return {};
    if (!homeFolder.empty()) {
        if (pathInsideFolder(homeFolder, f)) return {};  // the home folder or above it
        for (const char* shared : {"/bin", "/.local/bin", "/.local/share/flatpak/exports/bin"})
            if (f == homeFolder + shared) return {};
    }
    return f;
}

PlayTracker::PlayTracker(Options options) : options_(std::move(options)) {}

void PlayTracker::launched(std::int64_t gameId, int pid, const std::string& folder, std::int64_t nowMs,
                           std::int64_t wallSeconds) {
    for (auto& s : sessions_) {
        if (s.row.gameId != gameId) continue;
        // Started again while it still runs: one session goes on.
        if (pid > 0) s.roots.push_back({pid, -1});
        if (s.folder.empty()) s.folder = watchableFolder(folder, options_.homeFolder);
        return;
    }
    Session s;
    s.key = nextKey_++;
    s.row.gameId = gameId;
    s.row.startedAt = wallSeconds;
    s.folder = watchableFolder(folder, options_.homeFolder);
    if (pid > 0) s.roots.push_back({pid, -1});
    s.beginMs = nowMs;
    s.minStartMs = nowMs - options_.startSlackMs;
    s.lastObservedMs = nowMs;
    s.lastWriteMs = nowMs;
    sessions_.push_back(std::move(s));
}

void PlayTracker::resume(const SessionRow& row, const std::string& folder) {
    Session s;
    s.key = nextKey_++;
    s.row = row;
    s.row.open = true;
    s.folder = watchableFolder(folder, options_.homeFolder);
    if (row.pid > 0) s.roots.push_back({row.pid, row.pidStartedMs});
    s.resumed = true;
    s.writtenSeconds = row.seconds;
    sessions_.push_back(std::move(s));
}

void PlayTracker::forget(std::int64_t gameId) {
    std::erase_if(sessions_, [&](const Session& s) { return s.row.gameId == gameId; });
}

void PlayTracker::rowStored(std::uint64_t session, std::int64_t rowId) {
    for (auto& s : sessions_)
        if (s.key == session) s.row.rowId = rowId;
}

std::set<PlayTracker::ProcessId> PlayTracker::membersIn(Session& session, const ProcessSnapshot& snapshot,
                                                       const std::multimap<int, std::size_t>& children) {
    std::set<ProcessId> found;
    std::vector<std::size_t> pending;
    const auto& table = snapshot.processes;
    for (std::size_t i = 0; i < table.size(); ++i) {
        const ProcessInfo& p = table[i];
        if (p.pid == options_.ownPid) continue;
        const ProcessId id{p.pid, p.startedMs};
        bool member = session.members.count(id) > 0;
        for (auto& root : session.roots) {
            if (member || root.pid != p.pid) continue;
            if (root.startedMs >= 0 ? root.startedMs == p.startedMs : p.startedMs >= session.minStartMs) {
                root.startedMs = p.startedMs;
                if (session.row.pid == 0) {
                    session.row.pid = p.pid;
                    session.row.pidStartedMs = p.startedMs;
                }
                member = true;
            }
        }
        if (!member && !session.folder.empty() && p.startedMs >= session.minStartMs &&
            (pathInsideFolder(p.executable, session.folder) || pathInsideFolder(p.workingFolder, session.folder)))
            member = true;
        // A Windows game runs as wine with the game's program among its words
        // (as "Z:\\..." under Proton): its executable is Wine's, its folder
        // may be anywhere.
        if (!member && !session.folder.empty() && p.startedMs >= session.minStartMs && isWineProcess(p))
            for (std::size_t w = 1; w < p.arguments.size() && !member; ++w)
                member = pathInsideFolder(unixPathOfWineWord(p.arguments[w]), session.folder);
        if (member && found.insert(id).second) pending.push_back(i);
    }
    // Everything a member started belongs to the game too.
    while (!pending.empty()) {
        const int parent = table[pending.back()].pid;
        pending.pop_back();
        for (auto [it, end] = children.equal_range(parent); it != end; ++it) {
            const ProcessInfo& child = table[it->second];
            if (child.pid == options_.ownPid) continue;
            if (found.insert({child.pid, child.startedMs}).second) pending.push_back(it->second);
        }
    }
    return found;
}

std::int64_t PlayTracker::step(const Session& session, std::int64_t nowMs) const {
    return std::clamp<std::int64_t>(nowMs - session.lastObservedMs, 0, options_.maxStepMs);
}

PlayTracker::Write PlayTracker::writeOf(Session& session) {
    Write w{session.key, session.row};
    w.row.seconds = (session.playedMs + 500) / 1000;
    session.writtenSeconds = w.row.seconds;
    return w;
}

std::vector<PlayTracker::Unwritten> PlayTracker::unwritten() const {
    std::vector<Unwritten> out;
    for (const auto& s : sessions_) {
        if (!s.seen) continue;
        const std::int64_t played = (s.playedMs + 500) / 1000;
        out.push_back({s.row.gameId, std::max<std::int64_t>(played - (s.row.rowId != 0 ? s.writtenSeconds : 0), 0),
                       s.row.rowId == 0});
    }
    return out;
}

std::vector<PlayTracker::Write> PlayTracker::observe(const ProcessSnapshot& snapshot) {
    std::multimap<int, std::size_t> children;
    for (std::size_t i = 0; i < snapshot.processes.size(); ++i) children.emplace(snapshot.processes[i].parentPid, i);

    const std::int64_t now = snapshot.nowMs;
    std::vector<Write> writes;
    for (auto it = sessions_.begin(); it != sessions_.end();) {
        Session& s = *it;
        auto members = membersIn(s, snapshot, children);
        if (!members.empty()) {
            if (!s.seen && s.resumed) {
                // The time since it was last written counts when its started
                // process still runs: that process's age is the session's.
                s.playedMs = s.row.seconds * 1000;
                for (const auto& root : s.roots)
                    if (members.count({root.pid, root.startedMs}) && root.startedMs > 0 && now > root.startedMs)
                        s.playedMs = std::max(s.playedMs, now - root.startedMs);
                s.lastWriteMs = now;
            } else {
                s.playedMs += step(s, now);
            }
            s.seen = true;
            s.lastObservedMs = now;
            s.members = std::move(members);
            if (now - s.lastWriteMs >= options_.writeEveryMs) {
                s.lastWriteMs = now;
                writes.push_back(writeOf(s));
            }
            ++it;
            continue;
        }
        if (s.seen || s.resumed) {
            // It ended somewhere between the last two readings: the middle is
            // the best guess. A resumed session no longer running keeps the
            // time last written.
            if (s.seen) s.playedMs += step(s, now) / 2;
            s.row.open = false;
            writes.push_back(s.seen ? writeOf(s) : Write{s.key, s.row});
            it = sessions_.erase(it);
            continue;
        }
        // Never seen: a launch whose processes we cannot see gets no session.
        if (now - s.beginMs >= options_.graceMs) {
            it = sessions_.erase(it);
        } else {
            ++it;
        }
    }
    return writes;
}

std::vector<PlayTracker::Write> PlayTracker::stop(std::int64_t nowMs) {
    std::vector<Write> writes;
    for (auto& s : sessions_) {
        if (!s.seen) continue;
        s.playedMs += step(s, nowMs);
        s.lastObservedMs = nowMs;
        writes.push_back(writeOf(s));
    }
    sessions_.clear();
    return writes;
}

}  // namespace ludexa
