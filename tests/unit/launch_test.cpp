// How a stored game becomes a process, the debounce and the time stamp.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "library/launch.h"
#include "platform/shell.h"
#include "temp_dir.h"

using namespace ludexa;

namespace {

// A made-up system: /games/run.sh is a program, /games/readme.html a
// document, /games/nox.sh a script without execute permission, /usr/bin/wine
// is installed, and the Wine prefix maps C: (where only C:\Games\Foo exists).
LaunchEnvironment fakeSystem(bool wine = true) {
    LaunchEnvironment env;
    env.findProgram = [wine](const std::string& name) -> std::string {
        if (name == "/games/run.sh" || name == "run.sh") return "/games/run.sh";
        if (name == "wine" && wine) return "/usr/bin/wine";
        return {};
    };
    env.classify = [](const std::string& path) {
        if (path == "/games" || path == "/游戏 库/game 1" || path == "/wine/drive_c/Games/Foo") return FileKind::Directory;
        if (path == "/games/run.sh") return FileKind::Executable;
        if (path == "/games/readme.html") return FileKind::Document;
        if (path == "/games/nox.sh") return FileKind::ProgramNotAllowed;
        return FileKind::Missing;
    };
    env.windowsToUnix = [](const std::string& path) -> std::string {
        if (path == "C:") return "/wine/drive_c";
        if (path == "C:\\Games\\Foo") return "/wine/drive_c/Games/Foo";
        if (path == "C:\\Games\\Foo\\foo.exe") return "/wine/drive_c/Games/Foo/foo.exe";
        return {};
    };
    return env;
}

using Words = std::vector<std::string>;

}  // namespace

TEST(LaunchPlan, DecisionTable) {
    const auto env = fakeSystem();
    // Arguments split as a shell would, without expanding anything.
    auto p = planLaunch("/games/run.sh", R"(--level '第 1 关' "a b" c\ d $HOME `x` --fast)", "/games", env);
    EXPECT_EQ(p.method, LaunchMethod::Spawn);
    EXPECT_EQ(p.argv, (Words{"/games/run.sh", "--level", "第 1 关", "a b", "c d", "$HOME", "`x`", "--fast"}));
    EXPECT_EQ(p.workingDirectory, "/games");

    p = planLaunch("run.sh", "   ", "/gone", env);  // a name found on PATH; a vanished folder is not used
    EXPECT_EQ(p.method, LaunchMethod::Spawn);
    EXPECT_EQ(p.argv, (Words{"/games/run.sh"}));
    EXPECT_EQ(p.workingDirectory, "");
    p = planLaunch("run.sh", "\"open  x", "", env);  // broken quoting: split at whitespace
    EXPECT_EQ(p.argv, (Words{"/games/run.sh", "\"open", "x"}));

    p = planLaunch("/home/u/Desktop/Game.DESKTOP", "", "", env);
    EXPECT_EQ(p.method, LaunchMethod::DesktopEntry);
    EXPECT_EQ(p.target, "/home/u/Desktop/Game.DESKTOP");

    for (const char* target : {"steam://rungameid/620", "/games/readme.html", "/games"}) {
        p = planLaunch(target, "", "", env);
        EXPECT_EQ(p.method, LaunchMethod::DefaultHandler) << target;
        EXPECT_EQ(p.target, target);
    }
}

TEST(LaunchPlan, LaunchesThatCannotHappenAreRefusedWithAReason) {
    const struct { const char* exe; bool wine; const char* reason; } cases[] = {
        {"/games/deleted.sh", true, "找不到程序文件。"},
        {"/games/nox.sh", true, "程序文件没有执行权限。"},
        {"no-such-game", true, "找不到程序：系统的程序路径（PATH）中没有它。"},
        {"C:\\Games\\Foo\\foo.exe", false, "这是 Windows 程序，需要 Wine 才能运行，但系统中没有安装 wine。"},
        {"/media/usb/Game.EXE", true, "找不到程序文件。"},
        {"C:\\Games\\Gone\\gone.exe", true, "找不到程序文件。"},  // C: is mapped and has no such file
        // A terminal game with no terminal installed, found by name or by its old path.
        {"x-terminal-emulator", true, kNoTerminalReason},
        {"/usr/bin/x-terminal-emulator", true, kNoTerminalReason},
    };
    for (const auto& c : cases) {
        const auto p = planLaunch(c.exe, "-x", "", fakeSystem(c.wine));
        EXPECT_EQ(p.method, LaunchMethod::Refused) << c.exe;
        EXPECT_EQ(p.error, c.reason) << c.exe;
        const auto result = startLaunch(p);
        EXPECT_FALSE(result.started);
        EXPECT_EQ(result.error, c.reason);
    }
    EXPECT_EQ(launchFailureText("空洞骑士", "找不到程序文件。", "/games/hk"),
              "无法启动“空洞骑士”。\n找不到程序文件。\n\n路径：/games/hk");
}

TEST(LaunchPlan, WindowsProgramsGetWindowsArgumentsAndTheirOwnFolder) {
    const auto env = fakeSystem();
    auto p = planLaunch("C:\\Games\\Foo\\foo.exe", R"(-path "C:\Saves\Slot 1" -w)", "C:\\Games\\Foo", env);
    EXPECT_EQ(p.method, LaunchMethod::Wine);
    EXPECT_EQ(p.argv, (Words{"/usr/bin/wine", "C:\\Games\\Foo\\foo.exe", "-path", "C:\\Saves\\Slot 1", "-w"}));
    EXPECT_EQ(p.workingDirectory, "/wine/drive_c/Games/Foo");

    // A drive the prefix does not map: wine looks for the program itself.
    p = planLaunch("D:\\Pal\\pal.exe", "", "D:\\Pal", env);
    EXPECT_EQ(p.method, LaunchMethod::Wine);
    EXPECT_EQ(p.workingDirectory, "");
    p = planLaunch("D:\\Pal\\Pal.lnk", "", "", env);
    EXPECT_EQ(p.argv, (Words{"/usr/bin/wine", "start", "D:\\Pal\\Pal.lnk"}));
}

// The documented examples of how Windows splits a command line, and the
// corners Windows programs' shortcuts run into.
TEST(WindowsArguments, CommandLineToArgvWTable) {
    const struct { const char* line; Words args; } cases[] = {
        {R"("abc" d e)", {"abc", "d", "e"}},
        {R"(a\\b d"e f"g h)", {R"(a\\b)", "de fg", "h"}},
        {R"(a\\\"b c d)", {R"(a\"b)", "c", "d"}},
        {R"(a"b"" c d)", {R"(ab")", "c", "d"}},
        {R"(C:\Games\Foo\ -x)", {R"(C:\Games\Foo\)", "-x"}},                  // lone backslashes stay
        {R"("C:\Program Files\Foo\" -y)", {R"(C:\Program Files\Foo" -y)"}},  // \" is a quote, not an end
        {R"("C:\Program Files\Foo\\" -y)", {R"(C:\Program Files\Foo\)", "-y"}},
        {R"(a """b""" c)", {"a", R"("b")", "c"}},
        {"a \"\" \t b  ", {"a", "", "b"}},                                    // "" is an empty argument
        {R"(-name="Slot 1" 中文 "路径 空格")", {"-name=Slot 1", "中文", "路径 空格"}},
        {R"("unclosed at the end)", {"unclosed at the end"}},
        {"   ", {}},
    };
    for (const auto& c : cases) EXPECT_EQ(splitWindowsArguments(c.line), c.args) << c.line;
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
        {false, true, true, false, false},  // a failed start is reported instead
    };
    for (const auto& c : cases) {
        const auto o = decideAfterLaunch(c.started, c.sleepEnabled, c.sleepOnLaunch);
        EXPECT_EQ(o.countPlay, c.count) << c.started << c.sleepEnabled << c.sleepOnLaunch;
        EXPECT_EQ(o.sleep, c.sleep) << c.started << c.sleepEnabled << c.sleepOnLaunch;
        EXPECT_EQ(o.reportFailure, !c.started);
    }
}

namespace {

struct Scratch {
    test::ScopedTempDir temp{"ludexa_launch"};
    std::filesystem::path root = temp.path();
    std::string write(const std::string& name, const std::string& text, std::filesystem::perms perms) const {
        const auto p = root / name;
        std::filesystem::create_directories(p.parent_path());
        std::ofstream(p, std::ios::binary) << text;
        std::filesystem::permissions(p, perms);
        return p.string();
    }
};

// Waits up to two seconds for a file a detached program writes.
std::string waitForFile(const std::string& path) {
    for (int i = 0; i < 200; ++i) {
        std::ifstream in(path);
        std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (!text.empty() && text.back() == '\n') return text;
        usleep(10000);
    }
    return {};
}

}  // namespace

TEST(WinePrefix, WindowsFoldersMapThroughDosdevicesIgnoringCase) {
    Scratch s;
    namespace fs = std::filesystem;
    const std::string prefix = (s.root / "wine prefix").string();
    fs::create_directories(s.root / "wine prefix/drive_c/Games/Foo Bar/游戏");
    std::ofstream(s.root / "wine prefix/drive_c/Games/Foo Bar/Foo.exe") << "MZ";
    fs::create_directories(s.root / "wine prefix/dosdevices");
    fs::create_directory_symlink("../drive_c", s.root / "wine prefix/dosdevices/c:");
    fs::create_directory_symlink("/", s.root / "wine prefix/dosdevices/z:");
    const std::string driveC = fs::canonical(s.root / "wine prefix/drive_c").string();

    EXPECT_EQ(wineUnixPath("C:\\Games\\Foo Bar", prefix), driveC + "/Games/Foo Bar");
    EXPECT_EQ(wineUnixPath("c:\\GAMES\\foo bar\\游戏\\", prefix), driveC + "/Games/Foo Bar/游戏");
    EXPECT_EQ(wineUnixPath("C:/Games/./Foo Bar", prefix), driveC + "/Games/Foo Bar");
    EXPECT_EQ(wineUnixPath("C:", prefix), driveC);
    EXPECT_EQ(wineUnixPath("Z:\\bin", prefix), fs::canonical("/bin").string());
    for (const char* unmapped : {"C:\\Games\\Missing", "D:\\Games", "C:\\Games\\..\\..\\..", "C:Games", "Games\\Foo",
                                 "\\\\server\\share"})
        EXPECT_EQ(wineUnixPath(unmapped, prefix), "") << unmapped;
    EXPECT_EQ(wineUnixPath("C:\\Games", (s.root / "no prefix").string()), "");
}

TEST(StartingThings, FileKindsAndDesktopEntries) {
    Scratch s;
    namespace fs = std::filesystem;
    const auto rw = fs::perms::owner_read | fs::perms::owner_write;
    EXPECT_EQ(classifyFile(s.write("a.sh", "#!/bin/sh\n", rw)), FileKind::ProgramNotAllowed);
    EXPECT_EQ(classifyFile(s.write("elf", "\x7f" "ELF\x02\x01", rw)), FileKind::ProgramNotAllowed);
    EXPECT_EQ(classifyFile(s.write("notes.txt", "#x\n", rw)), FileKind::Document);
    EXPECT_EQ(classifyFile(s.write("run", "#!/bin/sh\n", fs::perms::owner_all)), FileKind::Executable);
    EXPECT_EQ(classifyFile(s.root.string()), FileKind::Directory);
    EXPECT_EQ(classifyFile((s.root / "missing").string()), FileKind::Missing);

    // GIO runs the entry's Exec in its Path and reports the program's pid.
    const std::string marker = (s.root / "marker").string();
    const auto entry = s.write("游戏.desktop",
                               "[Desktop Entry]\nType=Application\nName=G\nPath=" + s.root.string() +
                                   "\nExec=sh -c 'echo $$ $(pwd) > marker'\n",
                               rw);
    const auto started = launchDesktopEntry(entry);
    ASSERT_TRUE(started.started) << started.error;
    EXPECT_GT(started.pid, 0);
    EXPECT_EQ(waitForFile(marker), std::to_string(started.pid) + " " + s.root.string() + "\n");

    const auto broken = s.write("broken.desktop", "[Desktop Entry]\nType=Application\nExec=/no/such/game\n", rw);
    EXPECT_FALSE(launchDesktopEntry(broken).started);
    EXPECT_EQ(launchDesktopEntry(broken).error, "找不到程序文件。");
    EXPECT_EQ(launchDesktopEntry((s.root / "gone.desktop").string()).error, "找不到快捷方式文件。");
    const auto link = s.write("link.desktop", "[Desktop Entry]\nType=Link\nURL=https://example.com\n", rw);
    EXPECT_FALSE(launchDesktopEntry(link).started);
    EXPECT_EQ(openWithDefaultHandler((s.root / "gone.txt").string()).error, "找不到这个文件。");
}
