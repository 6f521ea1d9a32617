// Resource folders, the description text and the header line.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <unistd.h>

#include "library/desktop.h"
#include "media/description.h"
#include "platform/collate.h"
#include "media/media_folder.h"

using namespace ludexa;
namespace fs = std::filesystem;

namespace {

class MediaDir : public ::testing::Test {
protected:
    void SetUp() override {
        root = fs::temp_directory_path() / ("ludexa_media_" + std::to_string(::getpid()) + "_" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root);
        fs::create_directories(root);
    }
    void TearDown() override { fs::remove_all(root); }
    void write(const std::string& name, const std::string& bytes) {
        std::ofstream(root / name, std::ios::binary) << bytes;
    }
    std::string folder() const { return root.string() + "/"; }
    fs::path root;
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
              "first line\nsecond line\n\xEF\xBB\xBFthird\n\nfourth\rkept");
}

TEST_F(MediaDir, DescriptionOfOnlyLineFeedsIsTheDefault) {
    write("a.txt", "\n\n\n");
    EXPECT_EQ(scanMediaFolder(folder(), {}).description, "暂无介绍");
    EXPECT_EQ(scanMediaFolder(folder() + "missing/", {}).description, "暂无介绍");
    EXPECT_TRUE(scanMediaFolder("", {}).pictures.empty());
}

TEST_F(MediaDir, UnsafeNamesNeverLeaveTheMediaRoot) {
    for (const char* bad : {"", ".", "..", "../x", "a/b", "/etc"}) {
        EXPECT_FALSE(isSafeFolderName(bad)) << bad;
        EXPECT_EQ(gameMediaFolder(folder(), bad), "") << bad;
    }
    EXPECT_EQ(gameMediaFolder(folder(), "中国人 2"), folder() + "中国人 2/");
    EXPECT_TRUE(isSafeFolderName("..."));
}

TEST_F(MediaDir, CreatingFoldersCountsEachOutcome) {
    fs::create_directories(root / "media" / "Existing");
    const auto counts = createMediaFolders(folder() + "media/", {"New", "Existing", "..", "新的"});
    EXPECT_EQ(counts.processed, 4);
    EXPECT_EQ(counts.created, 2);
    EXPECT_EQ(counts.existing, 1);
    EXPECT_EQ(counts.failed, 1);  // ".." is not a folder of its own
    EXPECT_TRUE(fs::is_directory(root / "media" / "新的"));
    EXPECT_FALSE(fs::exists(root / "x"));
    // Without the media root every creation fails.
    const auto missing = createMediaFolders(folder() + "nomedia/", {"A"});
    EXPECT_EQ(missing.failed, 1);
    EXPECT_EQ(mediaFolderReport({12, 3, 9, 0}), "已处理12个游戏\n新创建3个目录\n已存在9个目录\n失败0个");
}

TEST(Description, SizesAndHeader) {
    GameInfo game;
    game.name = "Alpha";
    game.is_favorite = true;
    game.game_size = 3221225472LL;
    game.category = "RPG|Action";
    EXPECT_EQ(composeGameHeader(game, 2), "名称：Alpha  收藏：★  容量：3.00 GB  序号：2  类型：RPG|Action");
    EXPECT_EQ(composeGameText(game, 2, "line"), L"名称：Alpha  收藏：★  容量：3.00 GB  序号：2  类型：RPG|Action\r\nline");

    GameInfo plain;
    plain.name = "B";
    EXPECT_EQ(composeGameHeader(plain, 0), "名称：B  收藏：☆  容量：未统计  序号：?  类型：未分类");
    EXPECT_EQ(composeGameText(plain, 1, ""), L"名称：B  收藏：☆  容量：未统计  序号：1  类型：未分类\r\n暂无介绍");
}

TEST(Description, DesktopItems) {
    EXPECT_EQ(composeDesktopText(L"Tool.lnk", L"/d/Tool.lnk"), L"名称：Tool\n\n路径：/d/Tool.lnk");
    EXPECT_EQ(composeDesktopText(L"Tool.LNK", L"/d/Tool.LNK"), L"名称：Tool.LNK\n\n路径：/d/Tool.LNK");
    EXPECT_EQ(composeDesktopText(L"Mines.Desktop", L"/d/Mines.Desktop"), L"名称：Mines\n\n路径：/d/Mines.Desktop");
    EXPECT_EQ(desktopItemLabel(L".lnk"), L".lnk");
    EXPECT_EQ(desktopItemLabel(L".desktop"), L".desktop");
    EXPECT_EQ(desktopItemLabel(L"notes.desktop.txt"), L"notes.desktop.txt");
}

// Listing order means nothing on Linux: the view orders entries by their
// shown names, Chinese by pinyin (before Latin), case ignored.
TEST(Description, DesktopItemsAreOrderedByTheirShownNames) {
    std::vector<std::string> names{"中文.txt", "zeta.desktop", "Beta.lnk", "阿 游戏.desktop", "alpha", "文件夹"};
    sortDesktopNames(names, Collator::forLocale("zh_CN"));
    EXPECT_EQ(names, (std::vector<std::string>{"阿 游戏.desktop", "文件夹", "中文.txt", "alpha", "Beta.lnk", "zeta.desktop"}));
}
