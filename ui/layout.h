// Panel and grid geometry of the main window, as plain functions of the layout
// numbers. Drawing, hit testing, keyboard and gamepad navigation all use these,
// so every part of the window agrees on where a cell is.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace ludexa {

inline constexpr float kIconPixelSizes[6] = {48, 72, 96, 128, 196, 256};
// The splitters and the frame lines round the window are this thick.
inline constexpr float kSplitter = 4;
// The search box ends this far left of the window's right edge.
inline constexpr float kSearchBoxRightOffset = 245;
inline constexpr float kSearchBoxWidth = 128, kSearchBoxHeight = 26;

// A control's rectangle in window pixels. Its hit test includes the edges: a
// click on a button's outline is a click on the button.
struct UiRect {
    float x = 0, y = 0, w = 0, h = 0;
    bool contains(float px, float py) const { return px >= x && px <= x + w && py >= y && py <= y + h; }
    float centreX() const { return x + w / 2; }
    float centreY() const { return y + h / 2; }
};

// The sizes the user drags; every panel of the window follows from them.
struct Panels {
    float windowWidth = 0, windowHeight = 0;
    float toolbarHeight = 0;   // the band of buttons and tags
    float leftPanelWidth = 0;  // the picture and text column
    float leftTopHeight = 0;   // the picture area
    float gridTop() const { return toolbarHeight + kSplitter; }
    float gridLeft() const { return leftPanelWidth + kSplitter; }
};

UiRect toolbarSplitter(const Panels& p);  // under the toolbar, the window's width
UiRect panelSplitter(const Panels& p);    // right of the left column, below the toolbar
UiRect textSplitter(const Panels& p);     // between the picture and the text box
UiRect pictureArea(const Panels& p);
UiRect textBoxRect(const Panels& p);
UiRect gridArea(const Panels& p);
// A press that goes to the grid: right of its left edge, short of the scrollbar.
bool gridTakesPress(const Panels& p, float x, float y);

enum class Splitter { None, Toolbar, Panel, Text };
// The splitter a press grabs: within 10 pixels of its middle line, the
// toolbar's first, then the left column's, then the picture's.
Splitter splitterAt(const Panels& p, float x, float y);

// The grid's scrollbar: the track at the right edge, and the thumb on it for
// `contentHeight` pixels scrolled by `scroll`.
UiRect gridScrollTrack(const Panels& p);
UiRect gridScrollThumb(const Panels& p, float contentHeight, float scroll);
// A press that grabs the thumb: right of the track's left edge, below the grid's top.
bool onGridScrollThumb(const Panels& p, float contentHeight, float scroll, float x, float y);

// The toolbar buttons, left to right.
enum class ToolbarButton { Help, Settings, Theme, Sleep, AddGames, CreateMedia, ManageCategories };
inline constexpr int kToolbarButtonCount = 7;
const char* toolbarButtonLabel(ToolbarButton button);
UiRect toolbarButtonRect(ToolbarButton button);
std::optional<ToolbarButton> toolbarButtonAt(float x, float y);

// The title-area buttons right of the search box; minimise and close are
// shown only when the window has no frame of its own. The values are those
// of GameLauncher::titleButtonPressed.
enum class TitleButton { None = 0, DisplayMode = 1, Minimize = 2, Close = 3 };
UiRect titleButtonRect(TitleButton button, float windowWidth);
TitleButton titleButtonAt(float x, float y, float windowWidth, bool frameless);

UiRect searchBoxRect(float windowWidth);

// The round arrows of the picture area, the previous picture's at its left
// edge and the next one's at its right.
struct Disc {
    float cx = 0, cy = 0, r = 0;
    bool contains(float px, float py) const;
};
Disc pictureArrow(const Panels& p, bool next);

// The label offset of an icon size level: -2, 0, 2, 4, 6, else 8.
int labelLevelOffset(int level);
// Character size of the icon labels: fontSize + the level offset, within 8..32.
int labelCharSize(int level, int fontSize);
// Height of the two-line label band under each icon.
int getTextAreaH(int level, int fontSize);
float iconPixelSize(int level);

struct GridGeometry {
    float left = 0;     // gridLeft
    float top = 0;      // gridTop
    float iconPx = 0;
    float labelH = 0;
    int columns = 1;
    float gap = 0;

    float rowHeight() const { return iconPx + labelH + 10; }
    float cellX(std::size_t i) const;
    float cellY(std::size_t i, float scroll) const;
    float contentHeight(std::size_t count) const;
    // Index of the cell under the point, or -1; edges belong to the cell.
    int hitTest(float x, float y, float scroll, std::size_t count) const;
};

GridGeometry gridGeometry(float windowWidth, float leftPanelWidth, float toolbarHeight, int iconSize, int fontSize);

// Largest scroll offset of a grid area of the given height.
float gridMaxScrollFor(float contentHeight, float gridHeight);

// The scroll offset after arrow-key navigation so that position `p` is visible.
float scrollToShowKeyboard(const GridGeometry& g, int position, float gridHeight, float scroll);

// Arrow navigation in a visible list of `count` items. `position` is -1 when
// the selection is not in the list. Returns the new position, or -1 for none.
enum class NavKey { Left, Right, Up, Down };
int navigatePosition(int position, NavKey key, int columns, int count);

// Splitter clamps; when the bounds cross, the lower bound wins.
float clampToolbarHeight(float value, float windowHeight);
float clampLeftPanelWidth(float value, float windowWidth);
float clampPictureHeight(float value, float windowHeight, float gridTop);

// The name broken into at most two lines no wider than maxWidth, one UTF-8
// character at a time; a longer name ends its second line in "...".
std::vector<std::string> breakLabel(const std::string& name, float maxWidth,
                                    const std::function<float(const std::string&)>& measure);

}  // namespace ludexa
