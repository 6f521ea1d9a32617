// Game size counting: the folder walk, the size texts, and how a finished
// count reaches (or, once its window is closed, does not reach) the record.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "library/database.h"
#include "library/size_count.h"
#include "temp_dir.h"

using namespace ludexa;
namespace fs = std::filesystem;

namespace {

class Folder {
public:
    Folder() { fs::permissions(root_, fs::perms::all); }
    ~Folder() {  // what a test closed is opened again, so the folder can be removed
        std::error_code ignored;
        for (auto& entry : fs::recursive_directory_iterator(root_, ignored))
            fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    }
    fs::path path(const std::string& relative = "") const { return relative.empty() ? root_ : root_ / relative; }
    void file(const std::string& relative, std::size_t bytes) const {
        fs::create_directories(path(relative).parent_path());
        std::ofstream(path(relative), std::ios::binary) << std::string(bytes, 'x');
    }

private:
    test::ScopedTempDir temp_{"ludexa_size"};
    fs::path root_ = temp_.path();
};

// countFolderBytes as an unprivileged user: root reads every folder, so a
// folder closed with chmod is only closed to someone else.
std::int64_t countWithoutPrivileges(const std::string& folder) {
    if (::geteuid() != 0) return countFolderBytes(folder);
    int channel[2];
    if (::pipe(channel) != 0) return -2;
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(channel[0]);
        std::int64_t total = -3;
        if (::setgid(65534) == 0 && ::setuid(65534) == 0) total = countFolderBytes(folder);
        (void)!::write(channel[1], &total, sizeof total);
        ::_exit(0);
    }
    ::close(channel[1]);
    std::int64_t total = -4;
    (void)!::read(channel[0], &total, sizeof total);
    ::close(channel[0]);
    ::waitpid(child, nullptr, 0);
    return total;
}

}  // namespace

TEST(CountFolderBytes, CountsEachFileOnceAndNeverFollowsLinks) {
    Folder f;
    f.file("game.bin", 1000);
    f.file(".hidden/config", 24);
    f.file("data/level1.pak", 300);
    f.file("data/deeper/level2.pak", 76);
    fs::create_hard_link(f.path("data/level1.pak"), f.path("data/level1-again.pak"));
    fs::create_directory_symlink(f.path(), f.path("data/loop"));           // back to the top
    fs::create_symlink(f.path("game.bin"), f.path("shortcut.bin"));         // a link to a file
    fs::create_directory_symlink("/usr", f.path("elsewhere"));             // out of the tree
    EXPECT_EQ(countFolderBytes(f.path().string()), 1000 + 24 + 300 + 76);
    EXPECT_EQ(countFolderBytes(f.path().string() + "/"), 1400);
}

TEST(CountFolderBytes, MissingEmptyUnreadableAndCancelledCountZero) {
    Folder f;
    EXPECT_EQ(countFolderBytes(""), 0);
    EXPECT_EQ(countFolderBytes(f.path("nothing-here").string()), 0);
    EXPECT_EQ(countFolderBytes(f.path().string()), 0);

    f.file("open/a.bin", 10);
    f.file("closed/b.bin", 20);
    f.file("c.bin", 5);
    const std::atomic<bool> cancel{true};
    EXPECT_EQ(countFolderBytes(f.path().string(), &cancel), 0);
    fs::permissions(f.path("closed"), fs::perms::none);
    EXPECT_EQ(countWithoutPrivileges(f.path().string()), 15);
}

TEST(SizeText, UnitsOf1024) {
    EXPECT_EQ(formatByteCount(0), "0.00 B");
    EXPECT_EQ(formatByteCount(1023), "1023.00 B");
    EXPECT_EQ(formatByteCount(1024), "1.00 KB");
    EXPECT_EQ(formatByteCount(1048575), "1024.00 KB");
    EXPECT_EQ(formatByteCount(1048576), "1.00 MB");
    EXPECT_EQ(formatByteCount(1073741824), "1.00 GB");
    EXPECT_EQ(formatByteCount(5LL * 1073741824 + 536870912), "5.50 GB");
}

TEST(SizeCount, ResultGoesToTheGameWithItsIdWhereverItMoved) {
    Folder f;
    const std::string db = f.path("data.db").string();
    ASSERT_TRUE(initDatabase(db));
    // 4294967297 is 2^32 + 1: cut to 32 bits it would be the other game's id.
    constexpr std::int64_t kBig = 4294967297LL;
    {
        auto handle = Database::open(db);
        ASSERT_TRUE(handle->exec("INSERT INTO games(id, name) VALUES (1, 'a'), (4294967297, 'b');"));
    }
    std::vector<GameInfo> games(3);
    games[0].id = 1;  // re-sorted while the window was open
    games[1].id = kBig;
    games[2].id = 9;
    EXPECT_TRUE(storeGameSize(games, kBig, 4096, db).done());
    EXPECT_EQ(games[1].game_size, 4096);
    EXPECT_EQ(games[0].game_size, 0);

    auto handle = Database::open(db);
    auto rows = handle->prepare("SELECT id, game_size FROM games ORDER BY id");
    ASSERT_EQ(rows->step(), SQLITE_ROW);
    EXPECT_EQ(rows->columnInt64(1), 0);
    ASSERT_EQ(rows->step(), SQLITE_ROW);
    EXPECT_EQ(rows->columnInt64(1), 4096);
}

TEST(SizeCount, ResultArrivingAfterTheWindowClosedIsDropped) {
    Folder f;
    f.file("x.bin", 2048);
    int calls = 0;
    std::int64_t seen = -1;
    auto waitForText = [](SizeCountContext& c) {
        for (int i = 0; i < 500; ++i) {
            if (auto text = c.poll()) return *text;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return std::string("timeout");
    };

    SizeCountContext open(f.path().string(), [&](std::int64_t n) {
        ++calls;
        seen = n;
        return std::string();
    });
    EXPECT_EQ(waitForText(open), "统计完成：2.00 KB");
    EXPECT_EQ(seen, 2048);
    EXPECT_FALSE(open.poll());  // delivered once
    EXPECT_EQ(calls, 1);

    SizeCountContext closed(f.path().string(), [&](std::int64_t) {
        ++calls;
        return std::string();
    });
    closed.closed();
    std::this_thread::sleep_for(std::chrono::milliseconds(100));  // the worker finishes meanwhile
    EXPECT_FALSE(closed.poll());
    EXPECT_EQ(calls, 1);
}
