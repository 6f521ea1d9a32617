// Game size counting: the folder walk, the size texts, and the count that runs
// on a worker thread while the counting window is open. The worker shares only
// its job with the main thread; the record and data.db are updated on the main
// thread, and only while the window that asked is still open.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "library/database.h"
#include "library/game_info.h"
#include "platform/native_dialogs.h"

namespace ludexa {

// Total size in bytes of the files below `folder`. Symbolic links are never
// followed, each file and folder is counted once (hard links, bind mounts
// that loop), hidden files count like any other, and a folder that cannot be
// read adds 0. When `cancel` becomes true the walk stops early.
std::int64_t countFolderBytes(const std::string& folder, const std::atomic<bool>* cancel = nullptr);

// "%.2f B", "%.2f KB", "%.2f MB" or "%.2f GB", in units of 1024.
std::string formatByteCount(std::int64_t bytes);
// The counting window's result line, "统计完成：" followed by the size.
std::string sizeCountResultText(std::int64_t bytes);

// One count on a detached worker thread.
class SizeCountJob {
public:
    static std::shared_ptr<SizeCountJob> start(std::string folder);

    // The total once the worker has finished.
    std::optional<std::int64_t> result() const;
    // The asking window is gone: the worker stops early.
    void cancel() { cancelled_ = true; }

private:
    void finish(std::int64_t total);

    std::atomic<bool> cancelled_{false};
    mutable std::mutex mutex_;
    std::optional<std::int64_t> total_;  // guarded by mutex_
};

// The counting window's state: the job, and what happens with its total.
class SizeCountContext final : public CountingWindowModel {
public:
    // `onResult` takes the total; what it returns (why the total could not be
    // kept) is shown under it, nothing when it returns an empty text.
    SizeCountContext(std::string folder, std::function<std::string(std::int64_t)> onResult);
    std::optional<std::string> poll() override;
    void closed() override;

private:
    std::shared_ptr<SizeCountJob> job_;
    std::function<std::string(std::int64_t)> onResult_;
    bool done_ = false;
};

// Stores a count for the game with `id`, wherever sorting has moved it, in
// data.db (when `databasePath` is not empty) and then in its record. When
// data.db refuses it, the record is left as the file keeps it and the
// refusal is returned.
WriteOutcome storeGameSize(std::span<GameInfo> games, std::int64_t id, std::int64_t bytes,
                           const std::string& databasePath);

}  // namespace ludexa
