// Reading shortcut files: .lnk links of tests/data/corpus (good ones and each
// kind of damage), .desktop entries (quoting, field codes, env, locales),
// argument quoting, and listing a folder.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>

#include "platform/shortcuts.h"
#include "scoped_env.h"
#include "temp_dir.h"
#include "test_data.h"

using namespace ludexa;
namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;
using test::lnkFixture;

namespace {

// A folder of the test's own, with files written into it.
struct TempDir : test::ScopedTempDir {
    std::string path() const { return ScopedTempDir::path().string(); }
    std::string write(const std::string& name, const std::string& contents,
                      fs::perms perms = fs::perms::owner_read | fs::perms::owner_write) const {
        std::ofstream(file(name), std::ios::binary) << contents;
        fs::permissions(file(name), perms);
        return file(name);
    }
};

using test::ScopedEnv;

std::optional<Shortcut> desktop(const std::string& body, const char* fileName = "game.desktop") {
    return parseDesktopEntry("[Desktop Entry]\nType=Application\n" + body, fileName);
}

}  // namespace

// ---------------------------------------------------------------------------
// .lnk

TEST(LnkReading, LinkVariants) {
    const struct { const char *file, *exe, *args, *folder; std::size_t icons; } cases[] = {
        {"ansi_full", "C:\\Games\\Foo\\foo.exe", "-windowed --lang zh", "C:\\Games\\Foo", 2},
        {"unicode_args", "D:\\Games\\Pal\\pal.exe", "-窗口 \"存档 1\"", "D:\\Games\\Pal", 2},
        {"gbk_args", "C:\\游戏\\a.exe", "中文", "C:\\游戏", 2},  // ANSI is GBK
        {"bare", "C:\\game.exe", "", "C:", 1},                 // no arguments or icon
        {"with_idlist", "C:\\Games\\Foo\\foo.exe", "-windowed --lang zh", "C:\\Games\\Foo", 2},
        {"network_args", "\\\\server\\games\\Foo\\foo.exe", "-windowed --lang zh", "\\\\server\\games\\Foo", 2},
    };
    for (const auto& c : cases) {
        const auto s = parseLnk(lnkFixture(c.file), "x.lnk");
        ASSERT_TRUE(s) << c.file;
        EXPECT_EQ(s->exe_path, c.exe) << c.file;
        EXPECT_EQ(s->launch_args, c.args) << c.file;
        EXPECT_EQ(s->folder_path, c.folder) << c.file;
        EXPECT_EQ(s->icons.size(), c.icons) << c.file;
    }
    EXPECT_EQ(parseLnk(lnkFixture("ansi_full"), "x.lnk")->icons,
              (std::vector<IconSource>{{IconSource::Kind::ImageFile, "C:\\Games\\Foo\\foo.ico"},
                                       {IconSource::Kind::FileType, "C:\\Games\\Foo\\foo.exe"}}));
    EXPECT_EQ(parseLnk(lnkFixture("unicode_icon"), "x.lnk")->icons.front().value, "D:\\Games\\Pal\\图标.ico");

    const auto bytes = lnkFixture("ansi_full");
    EXPECT_EQ(parseLnk(bytes, "仙剑奇侠传.lnk")->name, "仙剑奇侠传");
    EXPECT_EQ(parseLnk(bytes, "Game (v1.2) .LNK")->name, "Game (v1.2) ");  // never trimmed further
    EXPECT_EQ(parseLnk(bytes, "\xff\xfe.lnk")->name, "\xEF\xBF\xBD\xEF\xBF\xBD");  // bad bytes become U+FFFD
}

TEST(LnkReading, DamagedLinksAreSkipped) {
    const auto good = lnkFixture("with_idlist");
    ASSERT_EQ(good.size(), 214u);
    // Where its parts start: the link info after the 0x4C-byte header and the
    // 24-byte item list, the strings after the link info, the terminal block last.
    const std::size_t linkInfo = 0x4C + 24, stringData = linkInfo + good[linkInfo], end = good.size() - 4;
    const auto put32 = [](Bytes& b, std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    };
    const auto le32 = [](const Bytes& b, std::size_t at) {
        return std::uint32_t{b[at]} | std::uint32_t{b[at + 1]} << 8 | std::uint32_t{b[at + 2]} << 16 |
               std::uint32_t{b[at + 3]} << 24;
    };
    const struct { const char* what; std::function<void(Bytes&)> damage; } cases[] = {  // each breaks one field
        {"empty", [](Bytes& b) { b.clear(); }},
        {"cut inside the header", [](Bytes& b) { b.resize(40); }},
        {"header size", [](Bytes& b) { b[0] = 0x4D; }},
        {"class id", [](Bytes& b) { b[4] = 0x02; }},
        {"id list past the end", [](Bytes& b) { b[0x4C] = b[0x4D] = 0xFF; }},
        {"id item past its list", [](Bytes& b) { b[0x4E] = 0x40; }},
        {"link info size past the end", [&](Bytes& b) { put32(b, linkInfo, 0x7FFFFFF0); }},
        {"path offset past the block", [&](Bytes& b) { put32(b, linkInfo + 16, 0xFFFF); }},
        {"volume id one byte past the block, inside the file", [&](Bytes& b) {
             const std::uint32_t size = le32(b, linkInfo), volume = le32(b, linkInfo + 12);
             put32(b, linkInfo + volume, size - volume + 1);
         }},
        {"link info header too big", [&](Bytes& b) { put32(b, linkInfo + 4, 0x1000); }},
        {"link info smaller than its header", [&](Bytes& b) { put32(b, linkInfo, 8); }},
        {"promised strings missing", [&](Bytes& b) { b.resize(stringData); }},
        {"string count past the end", [&](Bytes& b) { b[stringData] = 0xFF, b[stringData + 1] = 0x7F; }},
        {"extra block past the end", [&](Bytes& b) { put32(b, end, 0x10000); }},
        {"extra block without room for its signature", [&](Bytes& b) { put32(b, end, 6), b.insert(b.end(), 6, 0); }},
    };
    ASSERT_TRUE(parseLnk(good, "x.lnk"));
    for (const auto& c : cases) {
        auto bytes = good;
        c.damage(bytes);
        EXPECT_FALSE(parseLnk(bytes, "x.lnk")) << c.what;
        // Refused before liblnk sees it, not only by liblnk.
        EXPECT_FALSE(lnkLayoutIsSound(bytes)) << c.what;
    }
    EXPECT_FALSE(parseLnk(lnkFixture("no_target"), "x.lnk"));
}

// A link with every optional part (item list, link info with a local and a
// network path, each string, extra blocks), cut at every byte. Run under the
// sanitizers, this shows that no size or offset of a cut-off file is trusted.
TEST(LnkReading, EveryTruncationIsSkippedOrReadWithoutCrashing) {
    for (const char* file : {"every_part_ansi", "every_part_unicode"}) {
        const auto good = lnkFixture(file);
        const auto whole = parseLnk(good, "x.lnk");
        ASSERT_TRUE(whole) << file;
        ASSERT_EQ(whole->exe_path, "C:\\Games\\Foo\\foo.exe");
        ASSERT_EQ(whole->launch_args, "-windowed --lang zh");
        ASSERT_EQ(whole->icons.size(), 2u);
        for (std::size_t n = 0; n < good.size(); ++n) {
            // A cut-off link may at most lose its trailing parts, never gain garbage.
            const auto s = parseLnk(Bytes(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(n)), "x.lnk");
            if (!s) continue;
            EXPECT_EQ(s->exe_path, whole->exe_path) << n;
            EXPECT_EQ(s->launch_args, whole->launch_args) << n;
            EXPECT_EQ(s->icons, whole->icons) << n;
        }
    }
}

// ---------------------------------------------------------------------------
// .desktop: the Exec line

TEST(ExecSplitting, QuotesEscapesAndFieldCodes) {
    const struct { const char* exec; std::vector<std::string> words; } cases[] = {
        {"\"/opt/My Game/start\" \"--name=A B\" %U", {"/opt/My Game/start", "--name=A B"}},
        {R"(prog "say \"hi\"" "a\\b" "\$HOME" "\`x\`")", {"prog", "say \"hi\"", "a\\b", "$HOME", "`x`"}},
        {"prog 100%% %f %F %u %d %D %n %N %i %c %k %v %m", {"prog", "100%"}},
        {"prog --file=%f --icon=%i x%%y", {"prog", "--file=", "--icon=", "x%y"}},
        {"  prog\t\"\"  last %", {"prog", "", "last", "%"}},
    };
    for (const auto& c : cases) {
        const auto words = splitExec(c.exec);
        ASSERT_TRUE(words) << c.exec;
        EXPECT_EQ(*words, c.words) << c.exec;
    }
    for (const char* bad : {"\"/opt/unterminated", "prog 'half", "prog trailing\\"}) EXPECT_FALSE(splitExec(bad)) << bad;
    // Joined words split back the same (the desktop fuzzer checks any words);
    // plain ones are not quoted, so the stored text stays readable.
    const std::vector<std::string> words{"two words", "", "it's", "\"q\"", "back\\slash", "$HOME", "new\nline"};
    EXPECT_EQ(splitArguments(joinArguments(words)).value_or(std::vector<std::string>{"<none>"}), words);
    EXPECT_EQ(joinArguments({"-windowed", "steam://rungameid/42", "中文"}), "-windowed steam://rungameid/42 中文");
}

// ---------------------------------------------------------------------------
// .desktop: whole entries

TEST(DesktopEntry, FieldsOfAnApplicationEntry) {
    // Name, program, arguments and folder: the import's tests read them.
    const auto s = desktop("Name=Foo Game\nExec=\"/opt/Foo Game/foo\" --windowed %U\nIcon=/opt/Foo Game/foo.png\n");
    ASSERT_TRUE(s);
    EXPECT_EQ(s->icons, (std::vector<IconSource>{{IconSource::Kind::ImageFile, "/opt/Foo Game/foo.png"},
                                                 {IconSource::Kind::FileType, "/opt/Foo Game/foo"}}));
    // Key-file escapes come before quoting: "\\" is one backslash, "\s" a space.
    EXPECT_EQ(*splitArguments(desktop("Exec=/bin/prog \"a\\\\\"b\" \\sx\n")->launch_args),
              (std::vector<std::string>{"a\"b", "x"}));
    const auto rel = desktop("Exec=./start.sh -x\nPath=/games/foo/\n");
    EXPECT_EQ(rel->exe_path, "/games/foo/start.sh");
    EXPECT_EQ(rel->folder_path, "/games/foo");
}

TEST(DesktopEntry, ProgramsOnPathAndEnvInFront) {
    TempDir dir;
    const auto steam = dir.write("steam", "#!/bin/sh\n", fs::perms::owner_all);  // programs for PATH lookups
    const auto wine = dir.write("wine", "#!/bin/sh\n", fs::perms::owner_all);
    ScopedEnv path("PATH", dir.path() + ":/usr/bin:/bin");
    const auto s = desktop("Exec=steam steam://rungameid/400\n");
    EXPECT_EQ(s->exe_path, steam);
    EXPECT_EQ(s->folder_path, dir.path());
    const auto missing = desktop("Exec=no-such-program-xyz -a\n");  // stays a bare name with no folder
    EXPECT_EQ(missing->exe_path, "no-such-program-xyz");
    EXPECT_EQ(missing->folder_path, "");

    // env keeps its variables and takes the real program's folder and icon.
    const auto e = desktop("Exec=env WINEPREFIX=\"/home/u/Wine Games\" WINEDEBUG=-all wine \"C:\\\\Games\\\\foo.exe\"\n");
    ASSERT_TRUE(e);
    EXPECT_TRUE(e->exe_path.ends_with("/env")) << e->exe_path;
    EXPECT_EQ(*splitArguments(e->launch_args),
              (std::vector<std::string>{"WINEPREFIX=/home/u/Wine Games", "WINEDEBUG=-all", "wine", "C:\\Games\\foo.exe"}));
    EXPECT_EQ(e->folder_path, dir.path());
    EXPECT_EQ(e->icons.back(), (IconSource{IconSource::Kind::FileType, wine}));
    EXPECT_EQ(desktop("Exec=env -u HOME -i -- A=1 wine game.exe\n")->folder_path, dir.path());
    EXPECT_FALSE(desktop("Exec=env FOO=1 BAR=2\n"));  // nothing to start
}

TEST(DesktopEntry, IconKeyAndName) {
    auto icon = [](const std::string& v) { return desktop("Exec=/bin/x\nIcon=" + v + "\n")->icons; };
    EXPECT_EQ(icon("supertux.png")[0], (IconSource{IconSource::Kind::ThemeName, "supertux"}));
    EXPECT_EQ(icon("../../etc/x").size(), 1u);  // a relative path is neither: only the type's icon remains

    const std::string body = "Exec=/bin/x\nName=Sword\nName[zh_CN]=仙剑\nName[ja]=剣\n";
    for (const auto& [language, locale, name] : {std::tuple{"zh_CN", "zh_CN.UTF-8", "仙剑"}, {"de", "C.UTF-8", "Sword"}}) {
        const ScopedEnv languageList("LANGUAGE", language), all("LC_ALL", locale);
        EXPECT_EQ(desktop(body)->name, name) << language;
    }
    EXPECT_EQ(desktop("Exec=/bin/x\n", "Half Life.DESKTOP")->name, "Half Life");
    EXPECT_EQ(desktop("Exec=/bin/x\nName=\xff\xfe\n", "Good.desktop")->name, "Good");
    EXPECT_EQ(desktop("Exec=/bin/x\nName=  Two\\nLines \n")->name, "Two Lines");
}

// The desktop view's label and icon of a launcher file. The first entry is
// gnome-mines' own (shortened): its actions carry names of their own.
TEST(LauncherFace, ChineseNameElsePlainNameAndTheIcon) {
    const std::string mines =
        "[Desktop Entry]\nName[zh_CN]=扫雷\nName[zh_TW]=拆地雷\nName=Mines\nExec=gnome-mines\nIcon=org.gnome.Mines\n"
        "Type=Application\nActions=small-board;\n\n[Desktop Action small-board]\nName[zh_CN]=小号板面\nName=Small board\n";
    const struct {
        std::string body;
        const char* name;  // nullptr: no face
    } cases[] = {
        {mines, "扫雷"},
        {"[Desktop Entry]\nName=Sword\nName[zh]=仙剑\nName[de]=Schwert\n", "仙剑"},
        {"[Desktop Entry]\nName=Sword\nName[de]=Schwert\n", "Sword"},
        // Shown on a desktop even where a menu would not list it.
        {"[Desktop Entry]\nType=Application\nName=Hidden tool\nNoDisplay=true\nExec=/bin/x\n", "Hidden tool"},
        {"[Desktop Entry]\nType=Link\nName=Site\nURL=https://example.com\n", "Site"},
        {"[Desktop Entry]\nType=Application\nExec=/bin/x\n", nullptr},  // no name: the file name stays
        {"[Desktop Entry]\nName= \n", nullptr},
        {"[Other]\nName=x\n", nullptr},
        {"\x7f" "ELF\x02\x01", nullptr},
    };
    // Whatever the user's locale: the program speaks Simplified Chinese.
    ScopedEnv language("LANGUAGE", "de");
    for (const auto& c : cases) {
        const auto face = parseLauncherFace(c.body);
        ASSERT_EQ(face.has_value(), c.name != nullptr) << c.body;
        if (face) EXPECT_EQ(face->name, c.name) << c.body;
    }
    EXPECT_EQ(parseLauncherFace(mines)->icons, (std::vector<IconSource>{{IconSource::Kind::ThemeName, "org.gnome.Mines"}}));
    EXPECT_TRUE(parseLauncherFace("[Desktop Entry]\nName=P\n")->icons.empty());
}

TEST(DesktopEntry, EntriesThatStartNoProgramAreSkipped) {
    const char* bad[] = {
        "[Desktop Entry]\nType=Link\nURL=https://example.com\nExec=/bin/x\n",
        "[Desktop Entry]\nName=No type\nExec=/bin/x\n",
        "[Desktop Entry]\nType=Application\nName=No Exec\n",
        "[Desktop Entry]\nType=Application\nExec=%U\n",
        "[Desktop Entry]\nType=Application\nExec=\"/bin/broken\n",
        "[Desktop Entry]\nType=Application\nExec=/bin/x\nHidden=true\n",
        "[Other Group]\nType=Application\nExec=/bin/x\n",
        "Type=Application\nExec=/bin/x\n",
        "[Desktop Entry]\nType=Application\nExec=/bin/\xff\xfe\n",
        "\x7f" "ELF\x02\x01\x01\0\0\0",
    };
    for (const char* body : bad) EXPECT_FALSE(parseDesktopEntry(body, "game.desktop")) << body;
}

// ---------------------------------------------------------------------------
// Files and folders

TEST(ShortcutFiles, ListingMatchesExtensionsInAnyCaseAndSkipsNonFiles) {
    TempDir dir;
    for (const char* name : {"b.desktop", "A.LNK", "c.Desktop", "notes.txt", "lnk"}) dir.write(name, "x");
    fs::create_directory(dir.file("folder.lnk"));
    fs::create_directory(dir.file("sub"));
    dir.write("sub/inner.desktop", "x");
    ASSERT_EQ(::mkfifo(dir.file("pipe.desktop").c_str(), 0600), 0);
    fs::create_symlink(dir.file("nowhere"), dir.file("dangling.lnk"));
    fs::create_symlink(dir.file("b.desktop"), dir.file("linked.desktop"));
    EXPECT_EQ(listShortcutFiles(dir.path()), (std::vector<std::string>{dir.file("A.LNK"), dir.file("b.desktop"),
                                                                       dir.file("c.Desktop"), dir.file("linked.desktop")}));
    EXPECT_TRUE(listShortcutFiles(dir.file("missing")).empty());
}

// Good files and their time stamps: the import's tests read them.
TEST(ShortcutFiles, ReadingRefusesBadFiles) {
    TempDir dir;
    auto big = lnkFixture("ansi_full");
    big.resize(kMaxShortcutBytes + 1, 0);  // valid, but past the size limit
    EXPECT_FALSE(readShortcut(dir.write("big.lnk", std::string(big.begin(), big.end()))));
    fs::create_symlink(dir.file("loop.desktop"), dir.file("loop.desktop"));
    EXPECT_FALSE(readShortcut(dir.file("loop.desktop")));
    ASSERT_EQ(::mkfifo(dir.file("pipe.lnk").c_str(), 0600), 0);
    EXPECT_FALSE(readShortcut(dir.file("pipe.lnk")));  // returns at once instead of waiting for a writer
    EXPECT_FALSE(readShortcut(dir.write("x.txt", "[Desktop Entry]\nType=Application\nExec=/bin/true\n")));
}
