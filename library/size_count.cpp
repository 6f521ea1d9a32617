// Game size counting: the folder walk on a worker thread, the counting window,
// and the hand-off of the total to the main thread.
#include "library/size_count.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <set>
#include <thread>
#include <utility>

#include "app/GameLauncher.h"
#include "library/database.h"
#include "platform/event_wait.h"
#include "platform/paths.h"

namespace ludexa {
namespace {

struct DirCloser {
    void operator()(DIR* dir) const { closedir(dir); }
};

using FileKey = std::pair<dev_t, ino_t>;

}  // namespace

std::int64_t countFolderBytes(const std::string& folder, const std::atomic<bool>* cancel) {
    if (folder.empty()) return 0;
    std::int64_t total = 0;
    std::set<FileKey> seenFolders;
    std::set<FileKey> seenLinkedFiles;  // files with more than one hard link
    std::vector<std::string> pending{folder};
    bool top = true;
    // An explicit stack instead of recursion: a deep tree cannot exhaust the
    // worker's stack, and only one folder is open at a time.
    while (!pending.empty()) {
        if (cancel != nullptr && cancel->load()) break;
        const std::string dir = std::move(pending.back());
        pending.pop_back();
        // The folder the user named is taken as it is, even when it is a link;
        // below it no link is ever followed, so a link to a parent cannot loop.
        const int flags = O_RDONLY | O_DIRECTORY | O_CLOEXEC | (top ? 0 : O_NOFOLLOW);
        top = false;
        const int fd = ::open(dir.c_str(), flags);
        if (fd < 0) continue;
        struct stat self {};
        if (::fstat(fd, &self) != 0 || !seenFolders.insert({self.st_dev, self.st_ino}).second) {
            ::close(fd);
            continue;
        }
        std::unique_ptr<DIR, DirCloser> listing(::fdopendir(fd));
        if (!listing) {
            ::close(fd);
            continue;
        }
        while (const dirent* entry = ::readdir(listing.get())) {
            const std::string name = entry->d_name;
            if (name == "." || name == "..") continue;
            struct stat st {};
            if (::fstatat(fd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
            if (S_ISREG(st.st_mode)) {
                if (st.st_nlink > 1 && !seenLinkedFiles.insert({st.st_dev, st.st_ino}).second) continue;
                total += static_cast<std::int64_t>(st.st_size);
            } else if (S_ISDIR(st.st_mode)) {
                pending.push_back(dir.back() == '/' ? dir + name : dir + "/" + name);
            }
        }
    }
    return total;
}

std::string formatByteCount(std::int64_t bytes) {
    const double n = static_cast<double>(bytes);
    char text[64];
    if (bytes < 1024)
        std::snprintf(text, sizeof text, "%.2f B", n);
    else if (bytes < 1048576)
        std::snprintf(text, sizeof text, "%.2f KB", n / 1024);
    else if (bytes < 1073741824)
        std::snprintf(text, sizeof text, "%.2f MB", n / 1048576);
    else
        std::snprintf(text, sizeof text, "%.2f GB", n / 1073741824);
    return text;
}

std::string sizeCountResultText(std::int64_t bytes) { return "统计完成：" + formatByteCount(bytes); }

std::shared_ptr<SizeCountJob> SizeCountJob::start(std::string folder) {
    auto job = std::make_shared<SizeCountJob>();
    // The worker owns its copy of the folder and a reference to the job, never
    // the window or the launcher, so it may outlive both.
    auto work = [job, folder] {
        try {
            job->finish(countFolderBytes(folder, &job->cancelled_));
        } catch (...) {
            job->finish(-1);
        }
    };
    try {
        std::thread(work).detach();
    } catch (const std::system_error&) {
        work();  // no thread to be had: count here, late rather than never
    }
    return job;
}

std::optional<std::int64_t> SizeCountJob::result() const {
    std::lock_guard lock(mutex_);
    return total_;
}

void SizeCountJob::finish(std::int64_t total) {
    {
        std::lock_guard lock(mutex_);
        total_ = total;
    }
    wakeMainLoop();
}

SizeCountContext::SizeCountContext(std::string folder, std::function<std::string(std::int64_t)> onResult)
    : job_(SizeCountJob::start(std::move(folder))), onResult_(std::move(onResult)) {}

std::optional<std::string> SizeCountContext::poll() {
    if (done_ || !job_) return std::nullopt;
    const auto total = job_->result();
    if (!total) return std::nullopt;
    done_ = true;
    // A walk that failed (out of memory) is not a size: nothing is stored.
    if (*total < 0) return std::string("统计失败");
    const std::string problem = onResult_ ? onResult_(*total) : std::string();
    return problem.empty() ? sizeCountResultText(*total) : sizeCountResultText(*total) + "\n" + problem;
}

void SizeCountContext::closed() {
    if (job_) job_->cancel();
    job_.reset();
    onResult_ = nullptr;
    done_ = true;
}

WriteOutcome storeGameSize(std::span<GameInfo> games, std::int64_t id, std::int64_t bytes,
                           const std::string& databasePath) {
    if (!databasePath.empty()) {
        // A refused write leaves the record as the file keeps it; the window
        // still shows what was counted, and why it was not kept.
        auto outcome = runWrite(databasePath, "UPDATE games SET game_size=? WHERE id=?",
                                [&](Statement& update) { update.bind(1, bytes).bind(2, id); });
        if (!outcome.done()) return outcome;
    }
    for (auto& game : games) {
        if (game.id != id) continue;
        game.game_size = bytes;
        break;
    }
    return {};
}

void GameLauncher::showSizeCountingDialog(int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= library.games().size()) return;
    // One counting window at a time: the main window takes no input meanwhile.
    if (sizeCountWindow && sizeCountWindow->isOpen()) return;
    const GameInfo& game = library.games()[static_cast<std::size_t>(index)];
    const std::int64_t id = game.id;
    auto context = std::make_shared<SizeCountContext>(game.folder_path, [this, id](std::int64_t bytes) {
        const auto outcome = storeGameSize(library.editGames(), id, bytes, databasePath());
        updateTextContent();
        requestFrame(FrameReason::SizeCounted);
        return outcome.done() ? std::string() : "容量未能保存：" + writeFailureReason(outcome);
    });
    sizeCountWindow = openCountingWindow(std::move(context), nativeHandle());
}

void GameLauncher::serviceNativeWindows() {
    if (!sizeCountWindow) return;
    pumpNativeWindows();
    if (!sizeCountWindow->isOpen()) {
        sizeCountWindow.reset();
        discardInputAfterModal();
        requestFrame(FrameReason::Input);  // the main window takes input again
    }
}

bool GameLauncher::nativeWindowOpen() const { return sizeCountWindow && sizeCountWindow->isOpen(); }

}  // namespace ludexa
