// set.ini reading and writing.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "app/settings.h"
#include "temp_dir.h"

using namespace ludexa;

namespace {

Settings read(const std::string& text, SettingsReadResult* result = nullptr) {
    Settings s;
    auto r = readSettings(text, s, 6);
    if (result) *result = r;
    return s;
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
}

TEST(SettingsWrite, FontPathLineOnlyWhenSetAndCategoriesJoined) {
    Settings s;
    s.fontPath = L"/usr/share/fonts/字体.ttf";
    s.categories = {"RPG", "动作"};
    s.windowWidth = 1023.9f;
    const auto text = writeSettings(s);
    EXPECT_NE(text.find("fontSize=14\r\nfontPath=/usr/share/fonts/字体.ttf\r\n\r\n[Sort]"), std::string::npos);
    EXPECT_NE(text.find("categories=RPG|动作\r\n"), std::string::npos);
    EXPECT_NE(text.find("windowWidth=1023\r\n"), std::string::npos);
}

TEST(SettingsWrite, RoundTripKeepsEveryValue) {
    Settings s;
    s.leftPanelWidthRatio = 0.4f;
    s.toolbarHeight = 78;
    s.windowX = 12;
    s.windowY = 34;
    s.iconSize = 5;
    s.themeIndex = 3;
    s.fontSize = 20;
    s.sortMode = 1;
    s.sortAscending = true;
    s.sleepEnabled = true;
    s.fmtWebp = false;
    s.fullscreen = 2;
    s.gamepadMode = 4;
    s.framerate_fps = 144;
    s.categories = {"a", "b"};
    const auto back = read(writeSettings(s));
    EXPECT_FLOAT_EQ(back.leftPanelWidthRatio, 0.4f);
    EXPECT_FLOAT_EQ(back.toolbarHeight, 78);
    EXPECT_EQ(back.windowX, 12);
    EXPECT_EQ(back.iconSize, 5);
    EXPECT_EQ(back.themeIndex, 3);
    EXPECT_EQ(back.fontSize, 20);
    EXPECT_EQ(back.sortMode, 1);
    EXPECT_TRUE(back.sortAscending);
    EXPECT_FALSE(back.fmtWebp);
    EXPECT_TRUE(back.startFullscreen);
    EXPECT_EQ(back.startDisplayMode, 2);
    EXPECT_EQ(back.gamepadMode, 4);
    EXPECT_EQ(back.framerate_fps, 144);
    EXPECT_EQ(back.categories, (std::vector<std::string>{"a", "b"}));
}

// Each key is validated on its own; out-of-range values keep the previous value.
TEST(SettingsRead, KeysValidatedOneByOne) {
    struct Case {
        const char* line;
        std::function<bool(const Settings&)> check;
    };
    const Case cases[] = {
        {"fontSize=8", [](const Settings& s) { return s.fontSize == 10; }},
        {"fontSize=30", [](const Settings& s) { return s.fontSize == 24; }},
        {"fontSize=18px", [](const Settings& s) { return s.fontSize == 18; }},
        {"framerate_fps=10", [](const Settings& s) { return s.framerate_fps == 30; }},
        {"framerate_fps=fast", [](const Settings& s) { return s.framerate_fps == 30; }},
        {"framerate_fps= 60", [](const Settings& s) { return s.framerate_fps == 60; }},
        {"framerate_fps=99999999999999", [](const Settings& s) { return s.framerate_fps == 30; }},
        {"fmtGif=2", [](const Settings& s) { return s.fmtGif; }},
        {"fmtGif=0", [](const Settings& s) { return !s.fmtGif; }},
        {"sleepEnabled=true", [](const Settings& s) { return !s.sleepEnabled; }},
        {"sleepEnabled=1", [](const Settings& s) { return s.sleepEnabled; }},
        {"sleepOnLaunch=0", [](const Settings& s) { return !s.sleepOnLaunch; }},
        {"themeIndex=6", [](const Settings& s) { return s.themeIndex == 0; }},
        {"themeIndex=-1", [](const Settings& s) { return s.themeIndex == 0; }},
        {"themeIndex=5", [](const Settings& s) { return s.themeIndex == 5; }},
        {"iconSize=6", [](const Settings& s) { return s.iconSize == 1; }},
        {"sortMode=3", [](const Settings& s) { return s.sortMode == 2; }},
        {"sortMode =1", [](const Settings& s) { return s.sortMode == 2; }},
        {"gamepadMode=5", [](const Settings& s) { return s.gamepadMode == 1; }},
        {"fullscreen=1", [](const Settings& s) { return s.startFullscreen && s.startDisplayMode == 0; }},
        {"fullscreen=2", [](const Settings& s) { return s.startFullscreen && s.startDisplayMode == 2; }},
        {"fullscreen=3", [](const Settings& s) { return !s.startFullscreen; }},
        {"toolbarHeight=10", [](const Settings& s) { return s.toolbarHeight == 30; }},
        {"toolbarHeight=500", [](const Settings& s) { return std::abs(s.toolbarHeight - 240) < 0.01f; }},
        {"leftTopHeightRatio=inf", [](const Settings& s) { return s.leftTopHeightRatio == 0.5f; }},
        {"leftPanelWidthRatio=0.25", [](const Settings& s) { return s.leftPanelWidthRatio == 0.25f; }},
        {"#fontSize=20", [](const Settings& s) { return s.fontSize == 14; }},
        {"[fontSize=20]", [](const Settings& s) { return s.fontSize == 14; }},
        {"categories=A||B|", [](const Settings& s) { return s.categories == std::vector<std::string>{"A", "B"}; }},
        {"categories=a|b|c", [](const Settings& s) { return s.categories.size() == 3; }},
        {"fontPath=/x/宋体.ttc", [](const Settings& s) { return s.fontPath == L"/x/宋体.ttc"; }},
    };
    for (const auto& c : cases) {
        EXPECT_TRUE(c.check(read(c.line))) << c.line;
        EXPECT_TRUE(c.check(read(std::string(c.line) + "\r\n"))) << c.line << " with CR LF";
    }
}

TEST(SettingsRead, WindowGeometryNeedsBothValues) {
    SettingsReadResult r;
    auto s = read("windowWidth=1000\n", &r);
    EXPECT_FALSE(r.windowSizeGiven);
    EXPECT_EQ(s.windowWidth, 1200);

    s = read("windowWidth=799\nwindowHeight=700\n", &r);
    EXPECT_FALSE(r.windowSizeGiven);

    s = read("windowWidth=800\r\nwindowHeight=600\r\n", &r);
    EXPECT_TRUE(r.windowSizeGiven);
    EXPECT_EQ(s.windowWidth, 800);
    EXPECT_EQ(s.windowHeight, 600);

    s = read("windowX=-20\nwindowY=10\n");
    EXPECT_EQ(s.windowX, -1);  // a window left of the primary monitor is not restored
    s = read("windowX=20\nwindowY=10\n");
    EXPECT_EQ(s.windowX, 20);
    EXPECT_EQ(s.windowY, 10);
}

TEST(SettingsRead, ToolbarClampUsesHeightBeforeTheFileIsApplied) {
    // windowHeight takes effect only after the whole file, so the limit stays 240.
    auto s = read("windowWidth=1600\nwindowHeight=1200\ntoolbarHeight=300\n");
    EXPECT_EQ(s.windowHeight, 1200);
    EXPECT_FLOAT_EQ(s.toolbarHeight, 240);
}

TEST(SettingsRead, LastValidOccurrenceWins) {
    auto s = read("iconSize=3\niconSize=9\niconSize=4\n");
    EXPECT_EQ(s.iconSize, 4);
}

TEST(SettingsFile, AtomicWriteReplacesAndLeavesNoTemporary) {
    const test::ScopedTempDir temp;
    const auto& dir = temp.path();
    const auto path = (dir / "set.ini").string();
    ASSERT_TRUE(writeFileAtomically(path, "old"));
    ASSERT_TRUE(writeFileAtomically(path, "new contents"));
    std::string back;
    ASSERT_TRUE(readWholeFile(path, back));
    EXPECT_EQ(back, "new contents");
    EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));
    // A folder that cannot be written fails and keeps the old file.
    EXPECT_FALSE(writeFileAtomically((dir / "missing" / "set.ini").string(), "x"));
}
