// Reading shortcut files: .lnk links built byte by byte (good ones and each
// kind of damage), .desktop entries (quoting, field codes, env, types,
// encodings, locales), argument quoting, and listing a folder.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "lnk_fixture.h"
#include "platform/shortcuts.h"

using namespace ludexa;
namespace fs = std::filesystem;
using lnk_fixture::Bytes;
using lnk_fixture::Link;

namespace {

class TempDir {
public:
    TempDir() {
        path_ = fs::temp_directory_path() /
                ("ludexa_shortcuts_" + std::to_string(::getpid()) + "_" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(path_);
        fs::create_directories(path_);
    }
    ~TempDir() { fs::remove_all(path_); }
    std::string path() const { return path_.string(); }
    std::string file(const std::string& name) const { return (path_ / name).string(); }
    std::string write(const std::string& name, const std::string& contents) const {
        std::ofstream(file(name), std::ios::binary) << contents;
        return file(name);
    }
    std::string write(const std::string& name, const Bytes& bytes) const {
        std::ofstream(file(name), std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                          static_cast<std::streamsize>(bytes.size()));
        return file(name);
    }
    // An executable file, for PATH lookups.
    std::string program(const std::string& name) const {
        const auto p = write(name, "#!/bin/sh\n");
        fs::permissions(p, fs::perms::owner_all);
        return p;
    }

private:
    fs::path path_;
};

// Sets an environment variable for one test and puts the old value back.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::string& value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old, had_ = true;
        ::setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv() {
        if (had_)
            ::setenv(name_, old_.c_str(), 1);
        else
            ::unsetenv(name_);
    }

private:
    const char* name_;
    std::string old_;
    bool had_ = false;
};

std::optional<Shortcut> desktop(const std::string& body, const char* fileName = "game.desktop") {
    return parseDesktopEntry(body, fileName);
}

Link gameLink() {
    Link l;
    l.localPath = "C:\\Games\\Foo\\foo.exe";
    l.hasArguments = true;
    l.arguments = "-windowed --lang zh";
    l.hasIcon = true;
    l.iconLocation = "C:\\Games\\Foo\\foo.ico";
    return l;
}

}  // namespace

// ---------------------------------------------------------------------------
// .lnk

TEST(LnkReading, AnsiLinkGivesTargetArgumentsFolderAndIcon) {
    const auto s = parseLnk(lnk_fixture::build(gameLink()), "Foo Game.lnk");
    ASSERT_TRUE(s);
    EXPECT_EQ(s->name, "Foo Game");
    EXPECT_EQ(s->exe_path, "C:\\Games\\Foo\\foo.exe");
    EXPECT_EQ(s->launch_args, "-windowed --lang zh");
    EXPECT_EQ(s->folder_path, "C:\\Games\\Foo");
    ASSERT_EQ(s->icons.size(), 2u);
    EXPECT_EQ(s->icons[0], (IconSource{IconSource::Kind::ImageFile, "C:\\Games\\Foo\\foo.ico"}));
    EXPECT_EQ(s->icons[1], (IconSource{IconSource::Kind::FileType, "C:\\Games\\Foo\\foo.exe"}));
}

TEST(LnkReading, UnicodeLinkKeepsChineseText) {
    Link l;
    l.unicode = true;
    l.localPath = "D:\\Games\\Pal\\pal.exe";
    l.description = "仙剑奇侠传";
    l.hasArguments = true;
    l.arguments = "-窗口 \"存档 1\"";
    l.hasIcon = true;
    l.iconLocation = "D:\\Games\\Pal\\图标.ico";
    const auto s = parseLnk(lnk_fixture::build(l), "仙剑奇侠传.lnk");
    ASSERT_TRUE(s);
    EXPECT_EQ(s->name, "仙剑奇侠传");
    EXPECT_EQ(s->exe_path, "D:\\Games\\Pal\\pal.exe");
    EXPECT_EQ(s->launch_args, "-窗口 \"存档 1\"");
    EXPECT_EQ(s->icons.front().value, "D:\\Games\\Pal\\图标.ico");
}

TEST(LnkReading, AnsiStringsAreReadAsGbk) {
    Link l = gameLink();
    l.localPath = "C:\\\xD3\xCE\xCF\xB7\\a.exe";  // "游戏" in GBK
    l.arguments = "\xD6\xD0\xCE\xC4";               // "中文"
    const auto s = parseLnk(lnk_fixture::build(l), "a.lnk");
    ASSERT_TRUE(s);
    EXPECT_EQ(s->exe_path, "C:\\游戏\\a.exe");
    EXPECT_EQ(s->launch_args, "中文");
}

TEST(LnkReading, WithoutArgumentsOrIcon) {
    Link l;
    l.localPath = "C:\\game.exe";
    const auto s = parseLnk(lnk_fixture::build(l), "x.lnk");
    ASSERT_TRUE(s);
    EXPECT_EQ(s->launch_args, "");
    EXPECT_EQ(s->folder_path, "C:");
    ASSERT_EQ(s->icons.size(), 1u);  // only the file type's icon
    EXPECT_EQ(s->icons[0].kind, IconSource::Kind::FileType);
}

TEST(LnkReading, TargetIdListBeforeTheLinkInfoIsSteppedOver) {
    Link l = gameLink();
    l.idList = true;
    const auto s = parseLnk(lnk_fixture::build(l), "x.lnk");
    ASSERT_TRUE(s);
    EXPECT_EQ(s->exe_path, "C:\\Games\\Foo\\foo.exe");
    EXPECT_EQ(s->launch_args, "-windowed --lang zh");
}

TEST(LnkReading, NetworkPathWhenThereIsNoLocalPath) {
    Link l;
    l.networkName = "\\\\server\\games";
    l.pathSuffix = "Foo\\foo.exe";
    const auto s = parseLnk(lnk_fixture::build(l), "net.lnk");
    ASSERT_TRUE(s);
    EXPECT_EQ(s->exe_path, "\\\\server\\games\\Foo\\foo.exe");
    EXPECT_EQ(s->folder_path, "\\\\server\\games\\Foo");
}

TEST(LnkReading, NameIsTheFileNameWithoutItsLastFourCharacters) {
    const auto bytes = lnk_fixture::build(gameLink());
    EXPECT_EQ(parseLnk(bytes, "a.lnk")->name, "a");
    EXPECT_EQ(parseLnk(bytes, "Game (v1.2) .LNK")->name, "Game (v1.2) ");  // never trimmed further
    EXPECT_EQ(parseLnk(bytes, "\xff\xfe.lnk")->name, "\xEF\xBF\xBD\xEF\xBF\xBD");  // bad bytes become U+FFFD
}

TEST(LnkReading, LinkWithoutTargetIsSkipped) {
    Link l;  // no LinkInfo at all
    l.hasArguments = true;
    l.arguments = "-x";
    EXPECT_FALSE(parseLnk(lnk_fixture::build(l), "x.lnk"));
}

TEST(LnkReading, DamagedHeadersAreSkipped) {
    const auto good = lnk_fixture::build(gameLink());
    EXPECT_FALSE(parseLnk({}, "x.lnk"));
    EXPECT_FALSE(parseLnk(Bytes(good.begin(), good.begin() + 40), "x.lnk"));  // cut inside the header

    auto wrongSize = good;
    wrongSize[0] = 0x4D;  // HeaderSize must be 0x4C
    EXPECT_FALSE(parseLnk(wrongSize, "x.lnk"));

    auto wrongClass = good;
    wrongClass[4] = 0x02;  // LinkCLSID must be 00021401-...
    EXPECT_FALSE(parseLnk(wrongClass, "x.lnk"));

    Bytes text(200, 'A');  // a text file renamed to .lnk
    EXPECT_FALSE(parseLnk(text, "x.lnk"));
}

TEST(LnkReading, LinkInfoWithOffsetsOrSizesPastTheEndIsSkipped) {
    lnk_fixture::Layout at;
    const auto good = lnk_fixture::build(gameLink(), &at);

    auto sizePastEnd = good;
    lnk_fixture::put32(sizePastEnd, at.linkInfo, 0x7FFFFFF0);  // LinkInfoSize far past the file
    EXPECT_FALSE(parseLnk(sizePastEnd, "x.lnk"));

    auto pathPastBlock = good;
    lnk_fixture::put32(pathPastBlock, at.linkInfo + 16, 0x0000FFFF);  // LocalBasePathOffset past LinkInfoSize
    EXPECT_FALSE(parseLnk(pathPastBlock, "x.lnk"));

    auto headerTooBig = good;
    lnk_fixture::put32(headerTooBig, at.linkInfo + 4, 0x1000);  // LinkInfoHeaderSize larger than the block
    EXPECT_FALSE(parseLnk(headerTooBig, "x.lnk"));

    auto sizeTooSmall = good;
    lnk_fixture::put32(sizeTooSmall, at.linkInfo, 8);  // LinkInfoSize smaller than its own header
    EXPECT_FALSE(parseLnk(sizeTooSmall, "x.lnk"));
}

TEST(LnkReading, StringDataThatDoesNotAddUpIsSkipped) {
    lnk_fixture::Layout at;
    const auto good = lnk_fixture::build(gameLink(), &at);

    // Flags promise arguments and an icon location, but the file ends after LinkInfo.
    Bytes missing(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(at.stringData));
    EXPECT_FALSE(parseLnk(missing, "x.lnk"));

    auto countPastEnd = good;
    countPastEnd[at.stringData] = 0xFF;  // CountCharacters of the arguments: 0x7FFF characters
    countPastEnd[at.stringData + 1] = 0x7F;
    EXPECT_FALSE(parseLnk(countPastEnd, "x.lnk"));
}

TEST(LnkReading, IdListsAndExtraBlocksThatDoNotFitAreSkipped) {
    Link l = gameLink();
    l.idList = true;
    lnk_fixture::Layout at;
    const auto good = lnk_fixture::build(l, &at);

    auto listPastEnd = good;
    listPastEnd[0x4C] = 0xFF;  // IDListSize 0xFFFF
    listPastEnd[0x4D] = 0xFF;
    EXPECT_FALSE(parseLnk(listPastEnd, "x.lnk"));

    auto itemPastList = good;
    itemPastList[0x4E] = 0x40;  // the first ItemIDSize runs past IDListSize
    EXPECT_FALSE(parseLnk(itemPastList, "x.lnk"));

    auto blockPastEnd = good;
    lnk_fixture::put32(blockPastEnd, at.end, 0x10000);  // an ExtraData block larger than the rest of the file
    EXPECT_FALSE(parseLnk(blockPastEnd, "x.lnk"));

    auto tinyBlock = good;
    lnk_fixture::put32(tinyBlock, at.end, 6);  // too small to hold its own signature
    tinyBlock.insert(tinyBlock.end(), {0, 0, 0, 0, 0, 0});
    EXPECT_FALSE(parseLnk(tinyBlock, "x.lnk"));
}

TEST(LnkReading, EveryTruncationIsSkippedOrReadWithoutCrashing) {
    for (bool unicode : {false, true}) {
        Link l = gameLink();
        l.unicode = unicode;
        l.description = "desc";
        const auto good = lnk_fixture::build(l);
        for (std::size_t n = 0; n < good.size(); ++n) {
            const auto s = parseLnk(Bytes(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(n)), "x.lnk");
            // A cut-off link may at most lose its trailing parts, never gain garbage.
            if (s) {
                EXPECT_EQ(s->exe_path, "C:\\Games\\Foo\\foo.exe") << n;
            }
        }
        EXPECT_TRUE(parseLnk(good, "x.lnk"));
    }
}

// ---------------------------------------------------------------------------
// .desktop: the Exec line

TEST(ExecSplitting, QuotesEscapesAndFieldCodes) {
    struct Case {
        const char* exec;
        std::vector<std::string> words;
    } cases[] = {
        {"/opt/game/run --fullscreen %U", {"/opt/game/run", "--fullscreen"}},
        {"\"/opt/My Game/start\" \"--name=A B\"", {"/opt/My Game/start", "--name=A B"}},
        {R"(prog "say \"hi\"" "a\\b" "\$HOME" "\`x\`")", {"prog", "say \"hi\"", "a\\b", "$HOME", "`x`"}},
        {"prog 100%% %f %F %u %d %D %n %N %i %c %k %v %m", {"prog", "100%"}},
        {"prog --file=%f --icon=%i x%%y", {"prog", "--file=", "--icon=", "x%y"}},
        {"prog \"\" last", {"prog", "", "last"}},  // an empty quoted argument stays
        {"  prog\targ  ", {"prog", "arg"}},
        {"prog %", {"prog", "%"}},
    };
    for (const auto& c : cases) {
        const auto words = splitExec(c.exec);
        ASSERT_TRUE(words) << c.exec;
        EXPECT_EQ(*words, c.words) << c.exec;
    }
    EXPECT_FALSE(splitExec("\"/opt/unterminated"));
    EXPECT_FALSE(splitExec("prog 'half"));
    EXPECT_FALSE(splitExec("prog trailing\\"));
}

TEST(ExecSplitting, JoinedArgumentsSplitBackToTheSameWords) {
    const std::vector<std::string> words{"plain",     "two words", "",         "it's",       "\"q\"",     "back\\slash",
                                         "$HOME",     "`cmd`",     "#hash",    "中文 空格",  "~user",     "tab\there",
                                         "new\nline", "a;b|c&d",   "--x=1,2",  "steam://rungameid/42"};
    const auto joined = joinArguments(words);
    const auto back = splitArguments(joined);
    ASSERT_TRUE(back) << joined;
    EXPECT_EQ(*back, words) << joined;
    // Plain words are not quoted, so the stored text stays readable.
    EXPECT_EQ(joinArguments({"-windowed", "--lang=zh", "steam://rungameid/42", "中文"}),
              "-windowed --lang=zh steam://rungameid/42 中文");
    EXPECT_EQ(joinArguments({}), "");
    EXPECT_EQ(splitArguments("   ")->size(), 0u);
}

// ---------------------------------------------------------------------------
// .desktop: whole entries

TEST(DesktopEntry, FieldsOfAnApplicationEntry) {
    const auto s = desktop(
        "[Desktop Entry]\nType=Application\nName=Foo Game\nExec=\"/opt/Foo Game/foo\" --windowed %U\n"
        "Icon=/opt/Foo Game/foo.png\n");
    ASSERT_TRUE(s);
    EXPECT_EQ(s->name, "Foo Game");
    EXPECT_EQ(s->exe_path, "/opt/Foo Game/foo");
    EXPECT_EQ(s->launch_args, "--windowed");
    EXPECT_EQ(s->folder_path, "/opt/Foo Game");
    ASSERT_EQ(s->icons.size(), 2u);
    EXPECT_EQ(s->icons[0], (IconSource{IconSource::Kind::ImageFile, "/opt/Foo Game/foo.png"}));
    EXPECT_EQ(s->icons[1], (IconSource{IconSource::Kind::FileType, "/opt/Foo Game/foo"}));
}

TEST(DesktopEntry, KeyFileEscapesComeBeforeQuoting) {
    // In the file, "\\" is one backslash and "\s" a space; the quoting rules then apply.
    const auto s = desktop("[Desktop Entry]\nType=Application\nExec=/bin/prog \"a\\\\\"b\" \\sx\n");
    ASSERT_TRUE(s);
    EXPECT_EQ(*splitArguments(s->launch_args), (std::vector<std::string>{"a\"b", "x"}));
}

TEST(DesktopEntry, ProgramsAreFoundOnPath) {
    TempDir dir;
    const auto steam = dir.program("steam");
    ScopedEnv path("PATH", dir.path() + ":/usr/bin:/bin");
    const auto s = desktop("[Desktop Entry]\nType=Application\nName=Portal\nExec=steam steam://rungameid/400\n");
    ASSERT_TRUE(s);
    EXPECT_EQ(s->exe_path, steam);
    EXPECT_EQ(s->launch_args, "steam://rungameid/400");
    EXPECT_EQ(s->folder_path, dir.path());

    // A program that is nowhere on PATH stays a bare name with no folder.
    const auto missing = desktop("[Desktop Entry]\nType=Application\nExec=no-such-program-xyz -a\n");
    ASSERT_TRUE(missing);
    EXPECT_EQ(missing->exe_path, "no-such-program-xyz");
    EXPECT_EQ(missing->folder_path, "");
}

TEST(DesktopEntry, EnvInFrontKeepsTheVariablesAndUsesTheRealProgramsFolder) {
    TempDir dir;
    const auto wine = dir.program("wine");
    ScopedEnv path("PATH", dir.path() + ":/usr/bin:/bin");
    const auto s = desktop(
        "[Desktop Entry]\nType=Application\nName=Foo\n"
        "Exec=env WINEPREFIX=\"/home/u/Wine Games\" WINEDEBUG=-all wine \"C:\\\\Games\\\\foo.exe\"\n");
    ASSERT_TRUE(s);
    EXPECT_TRUE(s->exe_path.ends_with("/env")) << s->exe_path;
    EXPECT_EQ(*splitArguments(s->launch_args),
              (std::vector<std::string>{"WINEPREFIX=/home/u/Wine Games", "WINEDEBUG=-all", "wine", "C:\\Games\\foo.exe"}));
    EXPECT_EQ(s->folder_path, dir.path());
    EXPECT_EQ(s->icons.back(), (IconSource{IconSource::Kind::FileType, wine}));

    const auto options = desktop("[Desktop Entry]\nType=Application\nExec=env -u HOME -i -- A=1 wine game.exe\n");
    ASSERT_TRUE(options);
    EXPECT_EQ(options->folder_path, dir.path());

    // env with nothing to start would only print the environment.
    EXPECT_FALSE(desktop("[Desktop Entry]\nType=Application\nExec=env FOO=1 BAR=2\n"));
}

TEST(DesktopEntry, PathKeyGivesTheFolderAndResolvesRelativePrograms) {
    const auto s = desktop("[Desktop Entry]\nType=Application\nExec=./start.sh -x\nPath=/games/foo/\n");
    ASSERT_TRUE(s);
    EXPECT_EQ(s->exe_path, "/games/foo/start.sh");
    EXPECT_EQ(s->folder_path, "/games/foo");
}

TEST(DesktopEntry, IconKeyIsAFileOrAThemeName) {
    auto icons = [](const std::string& icon) {
        return desktop("[Desktop Entry]\nType=Application\nExec=/bin/x\nIcon=" + icon + "\n")->icons;
    };
    EXPECT_EQ(icons("steam")[0], (IconSource{IconSource::Kind::ThemeName, "steam"}));
    EXPECT_EQ(icons("supertux.png")[0], (IconSource{IconSource::Kind::ThemeName, "supertux"}));
    EXPECT_EQ(icons("/usr/share/pixmaps/x.xpm")[0], (IconSource{IconSource::Kind::ImageFile, "/usr/share/pixmaps/x.xpm"}));
    EXPECT_EQ(icons("../../etc/x").size(), 1u);  // a relative path is neither: only the type's icon remains
}

TEST(DesktopEntry, NameIsLocalisedForTheUsersLanguage) {
    const std::string body =
        "[Desktop Entry]\nType=Application\nExec=/bin/x\nName=Sword\nName[zh_CN]=仙剑\nName[ja]=剣\n";
    {
        ScopedEnv language("LANGUAGE", "zh_CN");
        ScopedEnv all("LC_ALL", "zh_CN.UTF-8");
        EXPECT_EQ(desktop(body)->name, "仙剑");
    }
    {
        ScopedEnv language("LANGUAGE", "de");
        ScopedEnv all("LC_ALL", "C.UTF-8");
        EXPECT_EQ(desktop(body)->name, "Sword");
    }
    // No Name: the file name without ".desktop", in any case.
    EXPECT_EQ(desktop("[Desktop Entry]\nType=Application\nExec=/bin/x\n", "Half Life.DESKTOP")->name, "Half Life");
    // A Name that breaks across lines stays on one.
    EXPECT_EQ(desktop("[Desktop Entry]\nType=Application\nExec=/bin/x\nName=  Two\\nLines \n")->name, "Two Lines");
}

TEST(DesktopEntry, EntriesThatStartNoProgramAreSkipped) {
    const char* bad[] = {
        "[Desktop Entry]\nType=Link\nURL=https://example.com\nExec=/bin/x\n",  // another type
        "[Desktop Entry]\nName=No type\nExec=/bin/x\n",
        "[Desktop Entry]\nType=Application\nName=No Exec\n",
        "[Desktop Entry]\nType=Application\nExec=\n",
        "[Desktop Entry]\nType=Application\nExec=%U\n",
        "[Desktop Entry]\nType=Application\nExec=\"/bin/broken\n",  // broken quoting
        "[Desktop Entry]\nType=Application\nExec=/bin/x\nHidden=true\n",
        "[Other Group]\nType=Application\nExec=/bin/x\n",
        "Type=Application\nExec=/bin/x\n",  // no group at all
        "[Desktop Entry]\nType=Application\nExec=/bin/\xff\xfe\n",  // invalid UTF-8
        "",
        "\x7f" "ELF\x02\x01\x01\0\0\0",
    };
    for (const char* body : bad) EXPECT_FALSE(desktop(body)) << body;
}

TEST(DesktopEntry, BadNameFallsBackToTheFileName) {
    const auto s = desktop("[Desktop Entry]\nType=Application\nExec=/bin/x\nName=\xff\xfe\n", "Good.desktop");
    ASSERT_TRUE(s);
    EXPECT_EQ(s->name, "Good");
}

// ---------------------------------------------------------------------------
// Files and folders

TEST(ShortcutFiles, ListingMatchesExtensionsInAnyCaseAndSkipsNonFiles) {
    TempDir dir;
    dir.write("b.desktop", "x");
    dir.write("A.LNK", "x");
    dir.write("c.Desktop", "x");
    dir.write("notes.txt", "x");
    dir.write("lnk", "x");
    fs::create_directory(dir.file("folder.lnk"));
    fs::create_directory(dir.file("sub"));
    dir.write("sub/inner.desktop", "x");
    ASSERT_EQ(::mkfifo(dir.file("pipe.desktop").c_str(), 0600), 0);
    fs::create_symlink(dir.file("nowhere"), dir.file("dangling.lnk"));
    fs::create_symlink(dir.file("b.desktop"), dir.file("linked.desktop"));

    const auto files = listShortcutFiles(dir.path());
    EXPECT_EQ(files, (std::vector<std::string>{dir.file("A.LNK"), dir.file("b.desktop"), dir.file("c.Desktop"),
                                               dir.file("linked.desktop")}));
    EXPECT_EQ(listShortcutFiles(dir.path() + "/"), files);
    EXPECT_TRUE(listShortcutFiles(dir.file("missing")).empty());
}

TEST(ShortcutFiles, ReadingTakesTheModificationTimeAndRefusesBadFiles) {
    TempDir dir;
    const auto good = dir.write("Foo.desktop", std::string("[Desktop Entry]\nType=Application\nExec=/bin/true\n"));
    const auto link = dir.write("Bar.lnk", lnk_fixture::build(gameLink()));
    const std::time_t when = 1500000000;
    for (const auto& p : {good, link}) {
        fs::last_write_time(p, fs::file_time_type::clock::from_sys(std::chrono::system_clock::from_time_t(when)));
        const auto s = readShortcut(p);
        ASSERT_TRUE(s) << p;
        EXPECT_EQ(s->modified, when);
    }
    EXPECT_EQ(readShortcut(link)->name, "Bar");

    // A valid link padded past the size limit is not read at all.
    auto big = lnk_fixture::build(gameLink());
    big.resize(kMaxShortcutBytes + 1, 0);
    EXPECT_FALSE(readShortcut(dir.write("big.lnk", big)));

    fs::create_symlink(dir.file("loop.desktop"), dir.file("loop.desktop"));
    EXPECT_FALSE(readShortcut(dir.file("loop.desktop")));
    ASSERT_EQ(::mkfifo(dir.file("pipe.lnk").c_str(), 0600), 0);
    EXPECT_FALSE(readShortcut(dir.file("pipe.lnk")));  // returns at once instead of waiting for a writer
    EXPECT_FALSE(readShortcut(dir.write("x.txt", std::string("[Desktop Entry]\nType=Application\nExec=/bin/true\n"))));

    if (::geteuid() != 0) {  // root reads everything
        const auto locked = dir.write("locked.desktop", std::string("[Desktop Entry]\nType=Application\nExec=/bin/x\n"));
        fs::permissions(locked, fs::perms::none);
        EXPECT_FALSE(readShortcut(locked));
    }
}
