// set.ini reading and writing.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>

#include <sys/stat.h>
#include <unistd.h>

#include "app/settings.h"
#include "temp_dir.h"
#include "test_data.h"

using namespace ludexa;

namespace {

Settings read(const std::string& text, SettingsReadResult* result = nullptr) {
    Settings s;
    auto r = readSettings(text, s, 6);
    if (result) *result = r;
    return s;
}

bool readWholeFile(const std::string& path, std::string& text) {
    return readSettingsFile(path, text) == SettingsFileRead::Whole;
}

}  // namespace

TEST(SettingsWrite, DefaultsAreByteExact) {
    const std::string expected =
        "[Layout]\r\nleftPanelWidthRatio=0.291667\r\nleftTopHeightRatio=0.500000\r\ntoolbarHeight=44.00\r\n"
        "windowWidth=1200\r\nwindowHeight=800\r\nwindowX=-1\r\nwindowY=-1\r\nwindowMaximized=0\r\n\r\n"
        "[Appearance]\r\niconSize=1\r\nthemeIndex=0\r\nuseCustomBackground=0\r\nfontSize=14\r\n\r\n"
        "[Sort]\r\nsortMode=2\r\nsortAscending=0\r\nsleepEnabled=0\r\nsleepAutoMinute=0\r\nsleepOnLaunch=1\r\n"
        "fmtJpg=1\r\nfmtPng=1\r\nfmtBmp=1\r\nfmtWebp=1\r\nfmtAvif=1\r\nfmtGif=1\r\nfullscreen=0\r\n"
        "gamepadMode=1\r\nframerate_fps=30\r\n\r\n[Categories]\r\ncategories=\r\n";
    EXPECT_EQ(writeSettings(Settings{}), expected);
    // A chosen font ends its section; a display mode is written as it is.
    Settings s;
    s.fullscreen = 2;
    s.fontPath = L"/usr/share/fonts/字体.ttf";
    const auto text = writeSettings(s);
    EXPECT_NE(text.find("fontSize=14\r\nfontPath=/usr/share/fonts/字体.ttf\r\n\r\n[Sort]"), std::string::npos);
    EXPECT_NE(text.find("\r\nfullscreen=2\r\n"), std::string::npos);
}

// Each key is validated on its own; out-of-range values keep the previous value.
TEST(SettingsRead, KeysValidatedOneByOne) {
    struct Case {
        const char* line;
        std::function<bool(const Settings&)> check;
    };
    const Case cases[] = {
        {"fontSize=18px", [](const Settings& s) { return s.fontSize == 18; }},
        {"framerate_fps=fast", [](const Settings& s) { return s.framerate_fps == 30; }},
        {"framerate_fps= 60", [](const Settings& s) { return s.framerate_fps == 60; }},
        {"framerate_fps=99999999999999", [](const Settings& s) { return s.framerate_fps == 30; }},
        {"fmtGif=2", [](const Settings& s) { return s.fmtGif; }},
        {"sleepEnabled=true", [](const Settings& s) { return !s.sleepEnabled; }},
        {"sleepEnabled=1", [](const Settings& s) { return s.sleepEnabled; }},
        {"sortMode =1", [](const Settings& s) { return s.sortMode == 2; }},
        {"fullscreen=1", [](const Settings& s) { return s.startFullscreen && s.startDisplayMode == 0; }},
        {"fullscreen=2", [](const Settings& s) { return s.startFullscreen && s.startDisplayMode == 2; }},
        {"fullscreen=3", [](const Settings& s) { return !s.startFullscreen; }},
        {"#fontSize=20", [](const Settings& s) { return s.fontSize == 14; }},
        {"[fontSize=20]", [](const Settings& s) { return s.fontSize == 14; }},
        {"categories=A||B|", [](const Settings& s) { return s.categories == std::vector<std::string>{"A", "B"}; }},
        {"fontPath=/x/宋体.ttc", [](const Settings& s) { return s.fontPath == L"/x/宋体.ttc"; }},
        {"iconSize=3\niconSize=9\niconSize=4", [](const Settings& s) { return s.iconSize == 4; }},  // the last valid one
        // windowHeight takes effect only after the whole file, so the toolbar's limit stays 240.
        {"windowWidth=1600\nwindowHeight=1200\ntoolbarHeight=300",
         [](const Settings& s) { return s.windowHeight == 1200 && std::abs(s.toolbarHeight - 240) < 0.001f; }},
    };
    for (const auto& c : cases) {
        EXPECT_TRUE(c.check(read(c.line))) << c.line;
        EXPECT_TRUE(c.check(read(std::string(c.line) + "\r\n"))) << c.line << " with CR LF";
    }
}

// Every validated key at each end of its range: the limit itself is taken,
// survives a save and a new start, and the value just past it is not. Each
// file is read over settings at the other end, so that a refused limit shows.
TEST(SettingsRead, LimitsReadBackAndWrittenBack) {
    Settings low;
    low.windowWidth = 800, low.windowHeight = 600, low.windowX = 0, low.windowY = 0;
    low.toolbarHeight = 30, low.iconSize = 0, low.themeIndex = 0, low.fontSize = 10;
    low.sortMode = 0, low.gamepadMode = 1, low.framerate_fps = 15;
    Settings high;
    high.windowWidth = 7680, high.windowHeight = 4320, high.windowX = 7679, high.windowY = 4319;
    high.toolbarHeight = 240, high.iconSize = 5, high.themeIndex = 5, high.fontSize = 24;
    high.sortMode = 4, high.gamepadMode = 4, high.framerate_fps = 500;
    for (const auto& [limit, other] : {std::pair{low, high}, std::pair{high, low}}) {
        Settings back = other;
        back.windowHeight = 800;  // as at start-up, where the toolbar's limit is 0.3 x 800
        const auto r = readSettings(writeSettings(limit), back, 6);
        EXPECT_TRUE(r.windowSizeGiven);
        EXPECT_EQ(writeSettings(back), writeSettings(limit));
    }
    // One past each limit: ignored, or clamped where the key is clamped.
    Settings past = high;
    readSettings("windowWidth=799\nwindowHeight=599\nwindowX=-1\nwindowY=0\ntoolbarHeight=29.99\niconSize=-1\n"
                 "themeIndex=-1\nfontSize=9\nsortMode=-1\ngamepadMode=0\nframerate_fps=14\n",
                 past, 6);
    Settings expected = high;
    expected.toolbarHeight = 30, expected.fontSize = 10;
    EXPECT_EQ(writeSettings(past), writeSettings(expected));
    past = low;
    past.windowHeight = 800;
    expected = past;
    readSettings("toolbarHeight=240.01\niconSize=6\nthemeIndex=6\nfontSize=25\nsortMode=5\n"
                 "gamepadMode=5\nframerate_fps=501\n",
                 past, 6);
    expected.toolbarHeight = 240, expected.fontSize = 24;
    EXPECT_EQ(writeSettings(past), writeSettings(expected));
}

// A hand-written file with LF line ends, full of values out of range: what
// the next save writes keeps the valid ones and corrects the others.
TEST(SettingsRead, HandWrittenFileComesBackCorrected) {
    std::string text;
    ASSERT_TRUE(readWholeFile(test::testDataPath("settings/hand_written.ini"), text));
    const auto written = writeSettings(read(text));
    for (const char* line :
         {"leftPanelWidthRatio=0.400000", "leftTopHeightRatio=0.500000", "toolbarHeight=44.00", "windowWidth=1200",
          "windowHeight=800", "windowX=-1", "windowMaximized=0", "iconSize=1", "themeIndex=4", "fontSize=10",
          "fontPath=/nonexistent/字体.ttf", "sortMode=2", "sortAscending=1", "sleepEnabled=1", "sleepAutoMinute=0",
          "sleepOnLaunch=0", "fmtGif=1", "fmtPng=0", "fullscreen=0", "gamepadMode=1", "framerate_fps=30",
          "categories=RPG|动作"})
        EXPECT_NE(written.find(std::string("\n") + line + "\r\n"), std::string::npos) << line << "\n" << written;
}

TEST(SettingsRead, WindowSizeNeedsBothValues) {
    for (const char* text : {"windowWidth=1000\n", "windowWidth=799\nwindowHeight=700\n"}) {
        SettingsReadResult r;
        EXPECT_EQ(read(text, &r).windowWidth, 1200) << text;
        EXPECT_FALSE(r.windowSizeGiven) << text;
    }
}

// A size that fits is kept, a screen below the minimum keeps 800 x 600, an unknown one (0 x 0) bounds nothing.
TEST(SettingsRead, WindowSizeIsBoundedToTheScreen) {
    const struct { int width, height, screenWidth, screenHeight, boundWidth, boundHeight; } cases[] = {
        {32767, 32767, 1280, 800, 1280, 800},
        {1000, 700, 1280, 800, 1000, 700},
        {1000, 700, 640, 480, 800, 600},
        {1000, 700, 0, 0, 1000, 700},
    };
    for (const auto& c : cases) {
        auto s = read("windowWidth=" + std::to_string(c.width) + "\nwindowHeight=" + std::to_string(c.height) + "\n");
        boundWindowSize(s, c.screenWidth, c.screenHeight);
        EXPECT_EQ(s.windowWidth, c.boundWidth) << c.screenWidth;
        EXPECT_EQ(s.windowHeight, c.boundHeight) << c.screenWidth;
    }
}

TEST(SettingsRead, CategoriesAreBoundedInNumberAndLength) {
    std::string line = "categories=" + std::string(kMaxCategoryNameBytes + 1, 'L') + "|ok";
    for (std::size_t i = 0; i < kMaxCategories + 50; ++i) line += "|c" + std::to_string(i);
    auto s = read(line + "\n");
    ASSERT_EQ(s.categories.size(), kMaxCategories);
    EXPECT_EQ(s.categories.front(), "ok");  // the overlong name is dropped, not cut
    EXPECT_EQ(s.categories.back(), "c" + std::to_string(kMaxCategories - 2));
    // What was dropped stays out of the next save.
    EXPECT_EQ(writeSettings(s).find(std::string(kMaxCategoryNameBytes + 1, 'L')), std::string::npos);
}

// What a damaged, hand-edited or hostile file holds: the BOM of a Windows
// editor, ratios no splitter can reach, lines and paths of megabytes. Each
// case is read over the defaults; `dropped` says whether the file must then
// be left as it is.
TEST(SettingsRead, DamagedInputIsBoundedAndClamped) {
    const std::string hugeLine = "fontPath=/" + std::string(kMaxSettingsLineBytes, 'p');
    const std::string longPath = "fontPath=/" + std::string(kMaxFontPathBytes, 'p');
    const float widest = (1200.0f - 104) / 1200, narrowest = 100.0f / 1200;
    const float tallest = (800.0f - 48 - 104) / (800 - 48), lowest = 100.0f / (800 - 48);
    struct Case {
        std::string text;
        float panel, picture;  // the two ratios afterwards
        bool dropped;
        std::function<bool(const Settings&)> check;
    };
    const auto any = [](const Settings&) { return true; };
    const Case cases[] = {
        {"\xEF\xBB\xBFiconSize=3\r\n", 350.0f / 1200, 0.5f, false, [](const Settings& s) { return s.iconSize == 3; }},
        {"leftPanelWidthRatio=1e30\nleftTopHeightRatio=1e30\n", widest, tallest, false, any},
        {"leftPanelWidthRatio=-0.5\nleftTopHeightRatio=-3\n", narrowest, lowest, false, any},
        {"leftPanelWidthRatio=nan\nleftTopHeightRatio=-inf\n", 350.0f / 1200, 0.5f, false, any},
        {"leftPanelWidthRatio=1e99\n", 350.0f / 1200, 0.5f, false, any},
        // The limits follow the window the file gives.
        {"windowWidth=2000\nwindowHeight=1000\nleftPanelWidthRatio=0.99\nleftTopHeightRatio=0.01\n",
         (2000.0f - 104) / 2000, 100.0f / (1000 - 48), false, any},
        {longPath + "\nfontSize=20\n", 350.0f / 1200, 0.5f, false,
         [](const Settings& s) { return s.fontPath.empty() && s.fontSize == 20; }},
        {"fontPath=/a.ttf\n" + hugeLine + "\r\nfontSize=20\n", 350.0f / 1200, 0.5f, true,
         [](const Settings& s) { return s.fontPath == L"/a.ttf" && s.fontSize == 20; }},
    };
    for (const auto& c : cases) {
        const auto label = c.text.substr(0, 60);
        SettingsReadResult result;
        const auto s = read(c.text, &result);
        EXPECT_FLOAT_EQ(s.leftPanelWidthRatio, c.panel) << label;
        EXPECT_FLOAT_EQ(s.leftTopHeightRatio, c.picture) << label;
        EXPECT_EQ(result.lineDropped, c.dropped) << label;
        EXPECT_TRUE(c.check(s)) << label;
        // What was refused is not written back, and the next start reads the
        // same ratios again.
        const auto again = read(writeSettings(s));
        EXPECT_NEAR(again.leftPanelWidthRatio, s.leftPanelWidthRatio, 1e-6) << label;
        EXPECT_NEAR(again.leftTopHeightRatio, s.leftTopHeightRatio, 1e-6) << label;
    }
}

// Which files may be replaced at the next save: a missing or wholly read one;
// never one whose content was not all read.
TEST(SettingsFile, OnlyAFileReadWholeIsReplaced) {
    const test::ScopedTempDir temp;
    std::string text;
    EXPECT_EQ(readSettingsFile(temp / "set.ini", text), SettingsFileRead::Missing);

    // Over the bound: whole lines up to it, no line cut short.
    std::string big = "iconSize=4\r\n";
    while (big.size() < kMaxSettingsBytes + 100) big += "# " + std::string(97, 'x') + "\r\n";
    big += "iconSize=5\r\n";
    std::ofstream(temp / "big.ini", std::ios::binary) << big;
    EXPECT_EQ(readSettingsFile(temp / "big.ini", text), SettingsFileRead::Partial);
    ASSERT_FALSE(text.empty());
    EXPECT_LE(text.size(), kMaxSettingsBytes);
    EXPECT_EQ(text.back(), '\n');
    EXPECT_EQ(read(text).iconSize, 4);

    // There but unreadable: a FIFO (returns at once: no writer is waited for;
    // the media and icon tests bring the other special files), no permission.
    ASSERT_EQ(::mkfifo((temp / "fifo.ini").c_str(), 0600), 0);
    text = "x";
    EXPECT_EQ(readSettingsFile(temp / "fifo.ini", text), SettingsFileRead::Partial);
    EXPECT_TRUE(text.empty());
    if (::geteuid() != 0) {
        std::ofstream(temp / "secret.ini") << "iconSize=2\n";
        std::filesystem::permissions(temp / "secret.ini", std::filesystem::perms::owner_write);
        EXPECT_EQ(readSettingsFile(temp / "secret.ini", text), SettingsFileRead::Partial);
    }
}

// A save replaces the file whole or not at all. Its temporary file is never
// the fixed name an attacker (or an earlier crash) could have left a link or a
// FIFO at, nor left behind; the replaced file keeps its mode, and a symbolic
// link (relative, as users make them) stays a link to the written file.
TEST(SettingsFile, AtomicWriteKeepsWhatItCannotReplace) {
    namespace fs = std::filesystem;
    const test::ScopedTempDir temp;
    const auto path = temp / "set.ini";
    const auto victim = temp / "victim.txt";
    std::ofstream(victim) << "precious";
    fs::create_symlink(victim, temp / "set.ini.tmp");
    ASSERT_EQ(::mkfifo((temp / ".set.ini.tmp").c_str(), 0600), 0);
    std::ofstream(path) << "old";
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write);

    ASSERT_TRUE(writeFileAtomically(path, "iconSize=3\r\n"));
    ASSERT_TRUE(writeFileAtomically(path, "iconSize=4\r\n"));
    std::string text;
    ASSERT_TRUE(readWholeFile(path, text));
    EXPECT_EQ(text, "iconSize=4\r\n");
    ASSERT_TRUE(readWholeFile(victim, text));
    EXPECT_EQ(text, "precious");
    EXPECT_EQ(fs::status(path).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_FALSE(writeFileAtomically(temp / "missing/set.ini", "x"));

    // A read-only file is left as it is.
    fs::permissions(path, fs::perms::owner_read | fs::perms::group_read);
    EXPECT_FALSE(writeFileAtomically(path, "changed"));
    ASSERT_TRUE(readWholeFile(path, text));
    EXPECT_EQ(text, "iconSize=4\r\n");

    fs::create_directories(temp / "real");
    std::ofstream(temp / "real/mine.ini") << "old";
    fs::create_symlink("real/mine.ini", temp / "linked.ini");
    ASSERT_TRUE(writeFileAtomically(temp / "linked.ini", "through the link"));
    EXPECT_TRUE(fs::is_symlink(temp / "linked.ini"));
    ASSERT_TRUE(readWholeFile(temp / "real/mine.ini", text));
    EXPECT_EQ(text, "through the link");

    std::set<std::string> names;
    for (const auto& entry : fs::recursive_directory_iterator(temp.path()))
        names.insert(entry.path().lexically_relative(temp.path()).string());
    EXPECT_EQ(names, (std::set<std::string>{".set.ini.tmp", "linked.ini", "real", "real/mine.ini", "set.ini",
                                            "set.ini.tmp", "victim.txt"}));
}
