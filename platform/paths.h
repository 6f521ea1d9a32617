// Where Ludexa keeps its files. A portable copy keeps everything beside its
// executable. An installed copy (the package's /usr/bin/ludexa, or the same
// layout unpacked anywhere) keeps them in the user's data folder,
// $XDG_DATA_HOME/ludexa: /usr/bin is not the user's to write.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace ludexa {

// The desktop entry an installed copy ships in <prefix>/share/applications/;
// its presence beside <prefix>/bin/ is what tells an installed copy.
inline constexpr const char* kDesktopEntryName = "io.github.ludexa.Ludexa.desktop";

// The running executable's folder, UTF-8, always ending in "/".
std::string getExeDirectory();

// The one rule of where the files live. exeDirectory ends in "/"; exists
// tells whether a path exists; xdgDataHome and home are the environment's
// values (empty when unset). The result ends in "/".
std::string chooseDataDirectory(const std::string& exeDirectory, const std::function<bool(const std::string&)>& exists,
                                const std::string& xdgDataHome, const std::string& home);

// chooseDataDirectory for this process, decided once; the folder is created
// when it does not exist yet (the first start of an installed copy).
std::string getDataDirectory();

// getDataDirectory() + "data.db", the library database every operation opens.
std::string databasePath();

// getDataDirectory() + "set.ini", the settings file.
std::string settingsPath();

// getDataDirectory() + "ui.jpg", the optional custom background picture.
std::string getBackgroundImagePath();

// getDataDirectory() + "media/", the root of the per-game resource folders.
std::string mediaRoot();

bool pathExists(const std::string& path);
bool isDirectory(const std::string& path);

}  // namespace ludexa

namespace ludexa {
// The user's desktop folder (XDG), UTF-8 without a trailing "/"; empty when unknown.
std::string userDesktopDirectory();
// The user's home folder, UTF-8 without a trailing "/"; empty when unknown.
std::string userHomeDirectory();
// Entries of a folder that are not hidden (no leading "."), in enumeration
// order; files and folders alike.
std::vector<std::string> listVisibleEntries(const std::string& folder);
}  // namespace ludexa
