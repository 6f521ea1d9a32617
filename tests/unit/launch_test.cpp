// How a stored game becomes a process, the debounce and the time stamp.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <regex>

#include "library/launch.h"
#include "platform/shell.h"

using namespace ludexa;

namespace {

// A file system where /games/run.sh and /usr/bin/wine exist.
std::string fakeFind(const std::string& name) {
    if (name == "/games/run.sh" || name == "run.sh") return "/games/run.sh";
    if (name == "wine") return "/usr/bin/wine";
    return {};
}
std::string noWine(const std::string& name) { return name == "wine" ? std::string() : fakeFind(name); }
bool fakeDir(const std::string& path) { return path == "/games" || path == "/游戏 库/game 1"; }

}  // namespace

TEST(LaunchPlan, DecisionTable) {
    auto p = planLaunch("/games/run.sh", "--level '第 1 关' --fast", "/games", fakeFind, fakeDir);
    EXPECT_EQ(p.method, LaunchMethod::Spawn);
    EXPECT_EQ(p.argv, (std::vector<std::string>{"/games/run.sh", "--level", "第 1 关", "--fast"}));
    EXPECT_EQ(p.workingDirectory, "/games");

    p = planLaunch("run.sh", "", "", fakeFind, fakeDir);  // a name found on PATH
    EXPECT_EQ(p.method, LaunchMethod::Spawn);
    EXPECT_EQ(p.argv, (std::vector<std::string>{"/games/run.sh"}));
    EXPECT_EQ(p.workingDirectory, "");

    p = planLaunch("/home/u/Desktop/Game.DESKTOP", "", "", fakeFind, fakeDir);
    EXPECT_EQ(p.method, LaunchMethod::DesktopEntry);
    EXPECT_EQ(p.target, "/home/u/Desktop/Game.DESKTOP");

    p = planLaunch("C:\\Games\\Game.exe", "-windowed", "C:\\Games", fakeFind, fakeDir);
    EXPECT_EQ(p.method, LaunchMethod::Wine);
    EXPECT_EQ(p.argv, (std::vector<std::string>{"/usr/bin/wine", "C:\\Games\\Game.exe", "-windowed"}));
    EXPECT_EQ(p.workingDirectory, "");  // not a folder here

    p = planLaunch("C:\\Games\\Game.exe", "", "", noWine, fakeDir);
    EXPECT_EQ(p.method, LaunchMethod::DefaultHandler);

    p = planLaunch("steam://rungameid/620", "", "", fakeFind, fakeDir);
    EXPECT_EQ(p.method, LaunchMethod::DefaultHandler);
    EXPECT_EQ(p.target, "steam://rungameid/620");
}

TEST(LaunchPlan, BrokenQuotingFallsBackToWhitespace) {
    const auto p = planLaunch("/games/run.sh", "--name 'unclosed  x", "/games", fakeFind, fakeDir);
    EXPECT_EQ(p.argv, (std::vector<std::string>{"/games/run.sh", "--name", "'unclosed", "x"}));
}

TEST(ShellArguments, QuotesAndEscapes) {
    EXPECT_EQ(*splitShellArguments(R"(a "b c" 'd e' f\ g)"), (std::vector<std::string>{"a", "b c", "d e", "f g"}));
    EXPECT_EQ(*splitShellArguments("$HOME `x`"), (std::vector<std::string>{"$HOME", "`x`"}));  // no expansion
    EXPECT_TRUE(splitShellArguments("   ")->empty());
    EXPECT_FALSE(splitShellArguments("\"open").has_value());
}

TEST(LaunchDebounce, TwoSecondsAfterAnyLaunch) {
    EXPECT_FALSE(launchDebounced(false, 0.0f));  // the first launch is never debounced
    EXPECT_TRUE(launchDebounced(true, 1.999f));
    EXPECT_FALSE(launchDebounced(true, 2.0f));
}

// What follows the start: only a started game is counted, and only then may
// the launcher fall asleep, which takes both sleep settings.
TEST(LaunchOutcome, CountAndSleepOnlyAfterAStart) {
    const struct { bool started, sleepEnabled, sleepOnLaunch, count, sleep; } cases[] = {
        {true, true, true, true, true},
        {true, true, false, true, false},  // sleep on, but not on launch: stays awake
        {true, false, true, true, false},  // sleep on launch is on by default, the feature is not
        {true, false, false, true, false},
        {false, true, true, false, false},  // a failed start is reported instead
        {false, false, false, false, false},
    };
    for (const auto& c : cases) {
        const auto o = decideAfterLaunch(c.started, c.sleepEnabled, c.sleepOnLaunch);
        EXPECT_EQ(o.countPlay, c.count) << c.started << c.sleepEnabled << c.sleepOnLaunch;
        EXPECT_EQ(o.sleep, c.sleep) << c.started << c.sleepEnabled << c.sleepOnLaunch;
        EXPECT_EQ(o.reportFailure, !c.started);
    }
}

TEST(LaunchRecord, LocalTimeHasNineteenCharacters) {
    const auto text = formatLocalTime(0);
    EXPECT_TRUE(std::regex_match(text, std::regex(R"(\d{4}-\d{2}-\d{2} \d{2}:\d{2}:\d{2})"))) << text;
}

TEST(ShellSpawn, RunsWithArgumentsAndWorkingDirectory) {
    const std::string dir = ::testing::TempDir() + "ludexa spawn 测试";
    const std::string marker = dir + "/marker";
    ASSERT_EQ(system(("rm -rf '" + dir + "' && mkdir -p '" + dir + "'").c_str()), 0);
    ASSERT_TRUE(spawnDetached({"/bin/sh", "-c", "pwd > marker; printf '%s|' \"$@\" >> marker", "sh", "a b", "中"}, dir));
    // The program is detached: wait for it to finish writing.
    const std::string expected = dir + "\na b|中|";
    std::string contents;
    for (int i = 0; i < 200 && contents != expected; ++i) {
        usleep(10000);
        if (FILE* f = fopen(marker.c_str(), "r")) {
            char buffer[512] = {};
            contents.assign(buffer, fread(buffer, 1, sizeof buffer - 1, f));
            fclose(f);
        }
    }
    EXPECT_EQ(contents, expected);
    EXPECT_FALSE(spawnDetached({"/nonexistent/program"}, ""));
}
