// Where Ludexa keeps its files: everything lives beside the executable.
#pragma once

#include <string>

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
