// The settings file set.ini: reading and writing as plain text, apart from the
// launcher, so the format can be checked without a window. GameLauncher holds
// the record itself; loadConfig/saveConfig read and write it.
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

    bool operator==(const Settings&) const = default;
};

// Bounds on the categories read from the file; names beyond them are dropped.
inline constexpr std::size_t kMaxCategories = 500;
inline constexpr std::size_t kMaxCategoryNameBytes = 255;

// Bounds on what is read at all: the file (several times what this program
// writes), each line (twice the longest categories line it writes) and the
// font path (the longest path the system takes). A damaged or hostile file
// costs no more memory than these.
inline constexpr std::size_t kMaxSettingsBytes = 1u << 20;
inline constexpr std::size_t kMaxSettingsLineBytes = 256u << 10;
inline constexpr std::size_t kMaxFontPathBytes = 4096;
static_assert(kMaxSettingsLineBytes >= 2 * (sizeof "categories=" + kMaxCategories * (kMaxCategoryNameBytes + 1)));

struct SettingsReadResult {
    bool windowSizeGiven = false;  // both width and height were valid: resize the window
    // A line over kMaxSettingsLineBytes was skipped whole (never cut into a
    // wrong value); what it held would be lost by rewriting the file.
    bool lineDropped = false;
};

// Applies every recognised line of `text` on top of `settings`, each key
// validated on its own. Accepts CR LF and LF line ends and a UTF-8 byte-order
// mark at the start. The layout ratios end within what the splitters can be
// dragged to in the window size the settings give.
SettingsReadResult readSettings(std::string_view text, Settings& settings, int themeCount);

// The range the splitter drags allow: the left panel and the picture area at
// least 100 pixels, the grid and the text area at least 104. Anything else
// (negative, 1e30) is brought into it.
void clampLayoutRatios(Settings& settings);

// A window size read from the file, bounded to the screen it opens on: a size
// larger than the screen (windowWidth=32767) is cut to the screen's, but never
// below the 800 x 600 the file must give. A screen of unknown size (0) bounds
// nothing.
void boundWindowSize(Settings& settings, int screenWidth, int screenHeight);

// The whole file, in its fixed order, with CR LF line ends.
std::string writeSettings(const Settings& settings);

// Replaces the file at `path` by `contents` through a temporary file beside it,
// so a crash or a full disk never leaves a half-written file. The temporary
// file gets a new name each time, made exclusively: a link or FIFO planted
// beside the file is never written through or waited on. A symbolic link at
// `path` is kept and its target replaced; a read-only file (or anything but a
// regular file) is left alone. False when nothing was written.
bool writeFileAtomically(const std::string& path, std::string_view contents);

enum class SettingsFileRead {
    Missing,  // no file: the first save creates one
    Whole,    // `text` holds the whole file
    // Over kMaxSettingsBytes (`text` holds its whole lines up to the bound),
    // or there but unreadable (`text` is empty). Rewriting it would lose what
    // was not read, so it is left as it is.
    Partial,
};
SettingsFileRead readSettingsFile(const std::string& path, std::string& text);

}  // namespace ludexa
