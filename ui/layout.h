// Panel and grid geometry of the main window, as plain functions of the layout
// numbers. Drawing, hit testing, keyboard and gamepad navigation all use these,
// so every part of the window agrees on where a cell is.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace ludexa {

inline constexpr float kIconPixelSizes[6] = {48, 72, 96, 128, 196, 256};
inline constexpr float kSplitter = 4;

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
