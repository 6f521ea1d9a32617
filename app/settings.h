// The settings file set.ini: reading and writing as plain text, apart from the
// launcher, so the format can be checked without a window. GameLauncher's
// loadConfig/saveConfig only copy these values to and from its fields.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace ludexa {

// Every stored setting, with the defaults a first start uses.
struct Settings {
    float leftPanelWidthRatio = 350.0f / 1200.0f;
    float leftTopHeightRatio = 0.5f;
    float toolbarHeight = 44.0f;
    float windowWidth = 1200.0f;
    float windowHeight = 800.0f;
    int windowX = -1;
    int windowY = -1;
    bool windowMaximized = false;

    int iconSize = 1;
    int themeIndex = 0;
    bool useCustomBackground = false;
    int fontSize = 14;
    std::wstring fontPath;

    int sortMode = 2;  // 0 time added, 1 name, 2 order, 3 time played, 4 last played
    bool sortAscending = false;
    bool sleepEnabled = false;
    bool sleepAutoMinute = false;
    bool sleepOnLaunch = true;
    bool fmtJpg = true;
    bool fmtPng = true;
    bool fmtBmp = true;
    bool fmtWebp = true;
    bool fmtAvif = true;
    bool fmtGif = true;
    int fullscreen = 0;         // written from the current display mode
    bool startFullscreen = false;  // read: start in display mode 1 ...
    int startDisplayMode = 0;      // ... and continue to 2 when this is 2
    int gamepadMode = 1;
    int framerate_fps = 30;

    std::vector<std::string> categories;
};

// Bounds on the categories read from the file; names beyond them are dropped.
inline constexpr std::size_t kMaxCategories = 500;
inline constexpr std::size_t kMaxCategoryNameBytes = 255;

struct SettingsReadResult {
    bool windowSizeGiven = false;  // both width and height were valid: resize the window
};

// Applies every recognised line of `text` on top of `settings`, each key
// validated on its own. Accepts CR LF and LF line ends.
SettingsReadResult readSettings(std::string_view text, Settings& settings, int themeCount);

// A window size read from the file, bounded to the screen it opens on: a size
// larger than the screen (windowWidth=32767) is cut to the screen's, but never
// below the 800 x 600 the file must give. A screen of unknown size (0) bounds
// nothing.
void boundWindowSize(Settings& settings, int screenWidth, int screenHeight);

// The whole file, in its fixed order, with CR LF line ends.
std::string writeSettings(const Settings& settings);

// Replaces the file at `path` by `contents` through a temporary file beside it,
// so a crash or a full disk never leaves a half-written file. A symbolic link
// is kept and its target replaced; a read-only file (or anything but a regular
// file) is left alone. False when nothing was written.
bool writeFileAtomically(const std::string& path, std::string_view contents);

// The file's bytes, or nullopt-like false when it cannot be read.
bool readWholeFile(const std::string& path, std::string& out);

}  // namespace ludexa
