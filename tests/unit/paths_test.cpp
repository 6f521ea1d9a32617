// Where the files live: beside a portable executable, in the user's data
// folder for an installed one.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "platform/dialogs.h"
#include "platform/paths.h"

using namespace ludexa;

namespace {

const std::string kEntry = std::string("share/applications/") + kDesktopEntryName;

std::string choose(const std::string& exeDirectory, std::set<std::string> existing, const std::string& xdg,
                   const std::string& home) {
    return chooseDataDirectory(
        exeDirectory, [&](const std::string& p) { return existing.count(p) > 0; }, xdg, home);
}

}  // namespace

// Portable copies keep everything beside themselves, wherever the user put
// them; a desktop entry of another name, or in the folder itself, does not
// count. Installed copies use the user's data folder; with no home, beside the program.
TEST(DataDirectory, PortableBesideItselfInstalledInTheUsersDataFolder) {
    EXPECT_EQ(choose("/home/u/游戏 库/", {}, "", "/home/u"), "/home/u/游戏 库/");
    EXPECT_EQ(choose("/home/u/bin/", {}, "/home/u/.data", "/home/u"), "/home/u/bin/");
    EXPECT_EQ(choose("/opt/x/bin/", {"/opt/x/share/applications/other.desktop"}, "", "/home/u"), "/opt/x/bin/");
    EXPECT_EQ(choose("/opt/x/", {"/opt/x/" + kEntry}, "", "/home/u"), "/opt/x/");
    EXPECT_EQ(choose("/bin/", {"/" + kEntry}, "", "/home/u"), "/bin/");
    EXPECT_EQ(choose("/usr/bin/", {"/usr/" + kEntry}, "/data/xdg/", "/home/u"), "/data/xdg/ludexa/");
    EXPECT_EQ(choose("/tmp/root/usr/bin/", {"/tmp/root/usr/" + kEntry}, "", "/tmp/h"), "/tmp/h/.local/share/ludexa/");
    EXPECT_EQ(choose("/usr/bin/", {"/usr/" + kEntry}, "rel/dir", "/home/u"), "/home/u/.local/share/ludexa/");  // invalid
    EXPECT_EQ(choose("/usr/bin/", {"/usr/" + kEntry}, "", ""), "/usr/bin/");
}

TEST(ChooserStartFolder, OpensWhereTheUserWasElseAtHome) {
    const std::set<std::string> folders{"/", "/home/u", "/home/u/游戏 库", "/games"};
    const auto isDirectory = [&](const std::string& p) { return folders.count(p) > 0; };
    const struct {
        std::vector<std::string> candidates;
        std::string home;
        std::string expected;
    } cases[] = {
        {{}, "/home/u", "/home/u"},                                   // first opening
        {{"", "/home/u/游戏 库/"}, "/home/u", "/home/u/游戏 库"},      // no field value; last chosen folder
        {{"/games/run.sh", "/home/u/游戏 库"}, "/home/u", "/games"},  // a field's file names its folder
        {{"/games/gone/deeper", "/home/u/游戏 库"}, "/home/u", "/home/u/游戏 库"},  // only one level up
        {{"/media/usb/games"}, "/home/u", "/home/u"},                 // removed with its parent
        {{"C:\\Games\\foo.exe", "relative/dir"}, "/home/u", "/home/u"},  // nothing GTK can open
        {{"/x"}, "/home/u", "/"},                                      // a file at the root
        {{}, "/home/gone", "/"},                                       // no home either
    };
    for (const auto& c : cases)
        EXPECT_EQ(chooserStartFolder(c.candidates, c.home, isDirectory), c.expected) << ::testing::PrintToString(c.candidates);
}
