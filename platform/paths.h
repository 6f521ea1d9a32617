// Where Ludexa keeps its files: everything lives beside the executable.
#pragma once

#include <string>
#include <vector>

namespace ludexa {

// The running executable's folder, UTF-8, always ending in "/".
std::string getExeDirectory();

// getExeDirectory() + "data.db", the library database every operation opens.
std::string databasePath();

// getExeDirectory() + "ui.jpg", the optional custom background picture.
std::string getBackgroundImagePath();

// getExeDirectory() + "media/", the root of the per-game resource folders.
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
