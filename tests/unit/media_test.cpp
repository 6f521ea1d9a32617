// Resource folders, the description text and the header line.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <future>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "library/desktop.h"
#include "media/description.h"
#include "platform/text.h"
#include "platform/collate.h"
#include "media/media_folder.h"
#include "temp_dir.h"

using namespace ludexa;
namespace fs = std::filesystem;

namespace {

class MediaDir : public ::testing::Test {
protected:
    void write(const std::string& name, const std::string& bytes) {
        std::ofstream(root / name, std::ios::binary) << bytes;
    }
    std::string folder() const { return root.string() + "/"; }
    const test::ScopedTempDir temp{"ludexa_media"};
    const fs::path root = temp.path();
};

}  // namespace

TEST_F(MediaDir, PicturesInByteOrderWithFormatSwitches) {
    for (const char* name : {"b.png", "A.jpg", "a.gif", "10.webp", "2.bmp", "x.JPEG", "c.avif", "notes.txt"}) write(name, "x");
    fs::create_directories(root / "sub.png");  // a folder is never a picture
    auto scan = scanMediaFolder(folder(), {});
    std::vector<std::string> names;
    for (const auto& p : scan.pictures) names.push_back(fs::path(p).filename().string());
    EXPECT_EQ(names, (std::vector<std::string>{"10.webp", "2.bmp", "A.jpg", "a.gif", "b.png", "c.avif", "x.JPEG"}));

    PictureFormats noGif;
    noGif.gif = false;
    EXPECT_EQ(scanMediaFolder(folder(), noGif).pictures.size(), 6u);
    PictureFormats none{false, false, false, false, false, false};
    EXPECT_TRUE(scanMediaFolder(folder(), none).pictures.empty());
    EXPECT_FALSE(none.any());
}

TEST_F(MediaDir, DescriptionJoinsTextFilesInNameOrder) {
    write("1.txt", "\n\nfirst line\r\n");
    write("2.txt", "second line");
    write("3.TXT", "\xEF\xBB\xBFthird\r\n\r\nfourth\rkept");
    EXPECT_EQ(scanMediaFolder(folder(), {}).description,
              "first line\nsecond line\nthird\n\nfourth\rkept");  // the mark is not text
    fs::create_directory(root / "blank");
    write("blank/a.txt", "\n\n\n");
    EXPECT_EQ(scanMediaFolder(folder() + "blank/", {}).description, "暂无介绍");
    EXPECT_EQ(scanMediaFolder(folder() + "missing/", {}).description, "暂无介绍");
    EXPECT_TRUE(scanMediaFolder("", {}).pictures.empty());
}

// Special files among the .txt files: a FIFO would block the open for good, a
// link to /dev/zero would be read without end. Both are skipped; the bound is
// the test's, not the program's.
TEST_F(MediaDir, DescriptionSkipsFifosAndDevices) {
    write("a.txt", "kept");
    ASSERT_EQ(::mkfifo((root / "b.txt").c_str(), 0600), 0);
    fs::create_symlink("/dev/zero", root / "c.txt");
    auto scan = std::async(std::launch::async, [this] { return scanMediaFolder(folder(), {}); });
    if (scan.wait_for(std::chrono::seconds(20)) != std::future_status::ready) {
        // Give the blocked open its writer so the test can end.
        const int fd = ::open((root / "b.txt").c_str(), O_WRONLY | O_NONBLOCK);
        if (fd >= 0) ::close(fd);
        FAIL() << "the scan hangs on a FIFO or a device";
    }
    EXPECT_EQ(scan.get().description, "kept");
}

TEST_F(MediaDir, LongDescriptionIsCutAtACharacter) {
    // "中" is three bytes: the bound falls inside one, which is dropped whole.
    std::string text(kMaxDescriptionBytes - 1, 'x');
    text += "中中";
    write("a.txt", text);
    write("b.txt", "never read");
    const auto description = scanMediaFolder(folder(), {}).description;
    EXPECT_EQ(description, std::string(kMaxDescriptionBytes - 1, 'x') + "\n(已截断)");
}

// A name becomes one folder under media/ or none. A NUL would end the path
// early ("Game\0 2" would use the folder of "Game"); control characters are
// legal in Linux names and are kept, as the name is stored.
TEST_F(MediaDir, NamesBecomeOneFolderOrNone) {
    using namespace std::string_literals;
    for (const auto& bad : {""s, "."s, ".."s, "../x"s, "a/b"s, "/etc"s, "Game\0 2"s, "\0"s, "Game\0/../x"s}) {
        EXPECT_FALSE(isSafeFolderName(bad)) << bad;
        EXPECT_EQ(gameMediaFolder(folder(), bad), "") << bad;
    }
    EXPECT_EQ(gameMediaFolder(folder(), "中国人 2"), folder() + "中国人 2/");
    EXPECT_TRUE(isSafeFolderName("..."));
}

TEST_F(MediaDir, CreatingFoldersCountsEachOutcome) {
    using namespace std::string_literals;
    const std::string control = "Tab\there\x01\x1f\x7f\r\n";
    fs::create_directories(root / "media" / "Existing");
    const auto counts = createMediaFolders(folder() + "media/", {"New", "Existing", "..", "新的", "Game\0 2"s, control});
    EXPECT_EQ(counts.processed, 6);
    EXPECT_EQ(counts.created, 3);
    EXPECT_EQ(counts.existing, 1);
    EXPECT_EQ(counts.failed, 2);  // ".." and "Game\0 2" are no folders of their own
    EXPECT_TRUE(fs::is_directory(root / "media" / "新的"));
    EXPECT_EQ(std::distance(fs::directory_iterator(root / "media"), fs::directory_iterator()), 4);
    write("media/" + control + "/a.png", "x");
    EXPECT_EQ(scanMediaFolder(gameMediaFolder(folder() + "media/", control), {}).pictures.size(), 1u);
    // A fresh folder gets its media root first; a root that cannot be made
    // (a file holds its name) fails every game.
    const auto fresh = createMediaFolders(folder() + "fresh/", {"A", "B"});
    EXPECT_EQ(fresh.created, 2);
    EXPECT_TRUE(fs::is_directory(root / "fresh" / "B"));
    write("blocked", "x");
    const auto blocked = createMediaFolders(folder() + "blocked/", {"A"});
    EXPECT_EQ(blocked.failed, 1);
    EXPECT_EQ(mediaFolderReport({12, 3, 9, 0}), "已处理12个游戏\n新创建3个目录\n已存在9个目录\n失败0个");
}

TEST(Description, SizesAndHeader) {
    GameInfo game;
    game.name = "Alpha";
    game.is_favorite = true;
    game.game_size = 3221225472LL;
    game.category = "RPG|Action";
    game.play_seconds = 45000;
    game.play_sessions = 3;
    EXPECT_EQ(composeGameText(game, 2, "line"),
              L"名称：Alpha  收藏：★  容量：3.00 GB  序号：2  类型：RPG|Action  时长：12.5 小时\r\nline");

    GameInfo plain;
    plain.name = "B";
    EXPECT_EQ(composeGameHeader(plain, 0), "名称：B  收藏：☆  容量：未统计  序号：?  类型：未分类  时长：未游玩");
    EXPECT_EQ(composeGameText(plain, 1, ""), L"名称：B  收藏：☆  容量：未统计  序号：1  类型：未分类  时长：未游玩\r\n暂无介绍");
    plain.play_sessions = 1;  // a session of a few seconds is still play
    plain.play_seconds = 3;
    EXPECT_EQ(composeGameHeader(plain, 1), "名称：B  收藏：☆  容量：未统计  序号：1  类型：未分类  时长：3 秒");
}

TEST(Description, DesktopItems) {
    EXPECT_EQ(composeDesktopText(desktopItemLabel(L"Tool.lnk"), L"/d/Tool.lnk"), L"名称：Tool\n\n路径：/d/Tool.lnk");
    EXPECT_EQ(desktopItemLabel(L"Tool.LNK"), L"Tool.LNK");
    EXPECT_EQ(desktopItemLabel(L"Mines.Desktop"), L"Mines");
    EXPECT_EQ(desktopItemLabel(L".lnk"), L".lnk");
    EXPECT_EQ(desktopItemLabel(L".desktop"), L".desktop");
    EXPECT_EQ(desktopItemLabel(L"notes.desktop.txt"), L"notes.desktop.txt");
}

// Listing order means nothing on Linux: the view orders entries by their
// shown names, Chinese by pinyin (before Latin), case ignored.
TEST(Description, DesktopItemsAreOrderedByTheirShownNames) {
    std::vector<DesktopEntryName> entries;
    for (const char* name : {"中文.txt", "zeta.desktop", "Beta.lnk", "阿 游戏.desktop", "alpha", "文件夹"})
        entries.push_back({name, desktopItemLabel(utf8ToWstring(name))});
    // A launcher named by its entry sorts by that name; equal labels by file name.
    entries.push_back({"org.gnome.Mines.desktop", L"扫雷"});
    entries.push_back({"mines-copy.desktop", L"扫雷"});
    sortDesktopEntries(entries, Collator::forLocale("zh_CN"));
    std::vector<std::string> names;
    for (const auto& e : entries) names.push_back(e.fileName);
    EXPECT_EQ(names, (std::vector<std::string>{"阿 游戏.desktop", "mines-copy.desktop", "org.gnome.Mines.desktop", "文件夹",
                                               "中文.txt", "alpha", "Beta.lnk", "zeta.desktop"}));
}
