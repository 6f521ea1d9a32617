// Panel geometry: the grid, the label band, the splitter clamps, resizing and
// the text box placement.
#include "ui/layout.h"

#include <algorithm>
#include <cmath>

#include "app/GameLauncher.h"
#include "platform/text.h"
#include "platform/window.h"
#include "ui/widgets/scrollbar.h"

namespace ludexa {

int labelLevelOffset(int level) {
    if (level == 0) return -2;
    if (level >= 1 && level <= 4) return (level - 1) * 2;
    return 8;
}

int labelCharSize(int level, int fontSize) { return std::clamp(fontSize + labelLevelOffset(level), 8, 32); }

int getTextAreaH(int level, int fontSize) { return 2 * (labelCharSize(level, fontSize) + 3) + 5; }

float iconPixelSize(int level) { return kIconPixelSizes[std::clamp(level, 0, 5)]; }

float GridGeometry::cellX(std::size_t i) const {
    return left + gap + static_cast<float>(i % static_cast<std::size_t>(columns)) * (gap + iconPx);
}

float GridGeometry::cellY(std::size_t i, float scroll) const {
    return top + 15 + static_cast<float>(i / static_cast<std::size_t>(columns)) * rowHeight() - scroll;
}

float GridGeometry::contentHeight(std::size_t count) const {
    const auto rows = (count + static_cast<std::size_t>(columns) - 1) / static_cast<std::size_t>(columns);
    return static_cast<float>(rows) * rowHeight() + 20;
}

int GridGeometry::hitTest(float x, float y, float scroll, std::size_t count) const {
    if (count == 0 || y < top + 15 - scroll) return -1;
    // Only the row under the point can hold it; no scan of the whole list.
    const auto row = static_cast<long long>(std::floor((y - (top + 15 - scroll)) / rowHeight()));
    for (int c = 0; c < columns; ++c) {
        const long long index = row * columns + c;
        if (index < 0 || static_cast<std::size_t>(index) >= count) continue;
        const auto i = static_cast<std::size_t>(index);
        const float cx = cellX(i), cy = cellY(i, scroll);
        if (x >= cx && x <= cx + iconPx && y >= cy && y <= cy + iconPx + labelH) return static_cast<int>(i);
    }
    return -1;
}

GridGeometry gridGeometry(float windowWidth, float leftPanelWidth, float toolbarHeight, int iconSize, int fontSize) {
    GridGeometry g;
    g.left = leftPanelWidth + kSplitter;
    g.top = toolbarHeight + kSplitter;
    g.iconPx = iconPixelSize(iconSize);
    g.labelH = static_cast<float>(getTextAreaH(iconSize, fontSize));
    const float usable = windowWidth - g.left - 10;
    g.columns = std::max(1, static_cast<int>(std::floor(usable / (g.iconPx + 15))));
    g.gap = (usable - static_cast<float>(g.columns) * g.iconPx) / static_cast<float>(g.columns + 1);
    return g;
}

float gridMaxScrollFor(float contentHeight, float gridHeight) { return std::max(0.0f, contentHeight - gridHeight); }

float scrollToShowKeyboard(const GridGeometry& g, int position, float gridHeight, float scroll) {
    if (position < 0) return scroll;
    const float rowTop = static_cast<float>(position / g.columns) * g.rowHeight() + 15;
    if (rowTop - scroll < 0) return rowTop;
    if (rowTop + g.iconPx + g.labelH - scroll > gridHeight) return rowTop + g.iconPx + g.labelH - gridHeight + 20;
    return scroll;
}

int navigatePosition(int position, NavKey key, int columns, int count) {
    const bool found = position >= 0;
    const int p = found ? position : 0;
    switch (key) {
        case NavKey::Left: return found && p > 0 ? p - 1 : -1;
        case NavKey::Right: return p < count - 1 ? p + 1 : -1;
        case NavKey::Up: return found && p >= columns ? p - columns : -1;
        case NavKey::Down: return p + columns < count ? p + columns : -1;
    }
    return -1;
}

float clampToolbarHeight(float value, float windowHeight) {
    return std::max(30.0f, std::min(value, 0.3f * windowHeight));
}

float clampLeftPanelWidth(float value, float windowWidth) {
    return std::max(100.0f, std::min(value, windowWidth - 104));
}

float clampPictureHeight(float value, float windowHeight, float gridTop) {
    return std::max(100.0f, std::min(value, windowHeight - gridTop - 104));
}

UiRect toolbarSplitter(const Panels& p) { return {0, p.toolbarHeight, p.windowWidth, kSplitter}; }

UiRect panelSplitter(const Panels& p) {
    return {p.leftPanelWidth, p.gridTop(), kSplitter, p.windowHeight - p.gridTop()};
}

UiRect textSplitter(const Panels& p) { return {0, p.gridTop() + p.leftTopHeight, p.leftPanelWidth, kSplitter}; }

UiRect pictureArea(const Panels& p) { return {0, p.gridTop(), p.leftPanelWidth, p.leftTopHeight}; }

UiRect textBoxRect(const Panels& p) {
    // Inside the frame line at the left and at the bottom.
    const float top = textSplitter(p).y + kSplitter;
    return {kSplitter, top, p.leftPanelWidth - kSplitter, p.windowHeight - top - kSplitter};
}

UiRect gridArea(const Panels& p) {
    return {p.gridLeft(), p.gridTop(), p.windowWidth - p.gridLeft(), p.windowHeight - p.gridTop()};
}

bool gridTakesPress(const Panels& p, float x, float y) {
    return x > p.gridLeft() && x < p.windowWidth - 10 && y > p.gridTop();
}

Splitter splitterAt(const Panels& p, float x, float y) {
    constexpr float kGrab = 10;
    const float middle = kSplitter / 2;
    if (std::fabs(y - (toolbarSplitter(p).y + middle)) < kGrab && x < p.windowWidth) return Splitter::Toolbar;
    if (std::fabs(x - (panelSplitter(p).x + middle)) < kGrab && y > p.gridTop()) return Splitter::Panel;
    if (std::fabs(y - (textSplitter(p).y + middle)) < kGrab && x < p.leftPanelWidth) return Splitter::Text;
    return Splitter::None;
}

UiRect gridScrollTrack(const Panels& p) {
    constexpr float kWidth = 8;
    return {p.windowWidth - kWidth, p.gridTop(), kWidth, p.windowHeight - p.gridTop()};
}

UiRect gridScrollThumb(const Panels& p, float contentHeight, float scroll) {
    const UiRect track = gridScrollTrack(p);
    const ScrollThumb thumb = scrollThumb(track.h, contentHeight, scroll);
    return {track.x, track.y + thumb.offset, track.w, thumb.length};
}

bool onGridScrollThumb(const Panels& p, float contentHeight, float scroll, float x, float y) {
    const UiRect track = gridScrollTrack(p);
    const UiRect thumb = gridScrollThumb(p, contentHeight, scroll);
    return x >= track.x && y > track.y && y >= thumb.y && y <= thumb.y + thumb.h;
}

namespace {

struct ToolbarButtonPlace {
    const char* label;
    float x, w;
};

// All 30 high at y 7.
constexpr ToolbarButtonPlace kToolbarButtons[kToolbarButtonCount] = {
    {"帮助", 10, 38},      {"设置", 53, 38},      {"换肤", 96, 38},      {"休眠", 139, 38},
    {"添加游戏", 182, 66}, {"生成资源", 253, 66}, {"管理分类", 324, 66},
};

}  // namespace

const char* toolbarButtonLabel(ToolbarButton button) { return kToolbarButtons[static_cast<int>(button)].label; }

UiRect toolbarButtonRect(ToolbarButton button) {
    const auto& place = kToolbarButtons[static_cast<int>(button)];
    return {place.x, 7, place.w, 30};
}

std::optional<ToolbarButton> toolbarButtonAt(float x, float y) {
    for (int b = 0; b < kToolbarButtonCount; ++b)
        if (toolbarButtonRect(static_cast<ToolbarButton>(b)).contains(x, y)) return static_cast<ToolbarButton>(b);
    return std::nullopt;
}

UiRect titleButtonRect(TitleButton button, float windowWidth) {
    switch (button) {
        case TitleButton::DisplayMode: return {windowWidth - 113, 8, 34, 26};
        case TitleButton::Minimize: return {windowWidth - 68, 4, 30, 26};
        case TitleButton::Close: return {windowWidth - 34, 4, 30, 26};
        case TitleButton::None: break;
    }
    return {};
}

TitleButton titleButtonAt(float x, float y, float windowWidth, bool frameless) {
    if (titleButtonRect(TitleButton::DisplayMode, windowWidth).contains(x, y)) return TitleButton::DisplayMode;
    if (!frameless) return TitleButton::None;
    for (const auto button : {TitleButton::Minimize, TitleButton::Close})
        if (titleButtonRect(button, windowWidth).contains(x, y)) return button;
    return TitleButton::None;
}

UiRect searchBoxRect(float windowWidth) { return {windowWidth - kSearchBoxRightOffset, 8, kSearchBoxWidth, kSearchBoxHeight}; }

bool Disc::contains(float px, float py) const { return std::hypot(px - cx, py - cy) <= r; }

Disc pictureArrow(const Panels& p, bool next) {
    constexpr float kRadius = 30, kInset = 20;
    const UiRect area = pictureArea(p);
    const float cy = p.gridTop() + p.leftTopHeight / 2;
    return {next ? area.w - (kInset + kRadius) : area.x + (kInset + kRadius), cy, kRadius};
}

std::vector<std::string> breakLabel(const std::string& name, float maxWidth,
                                    const std::function<float(const std::string&)>& measure) {
    std::vector<std::string> lines;
    std::string current;
    std::size_t pos = 0;
    while (pos < name.size()) {
        const auto len = utf8SequenceLength(name, pos);
        const std::string next = current + name.substr(pos, len);
        if (!current.empty() && measure(next) > maxWidth) {
            lines.push_back(current);
            current.clear();
            if (lines.size() == 2) break;
            continue;  // the same character starts the next line
        }
        current = next;
        pos += len;
    }
    if (lines.size() < 2) {
        if (!current.empty()) lines.push_back(current);
        return lines;
    }
    // Two lines are full and text remains: shorten the second until "..." fits.
    std::string& second = lines[1];
    while (!second.empty() && measure(second + "...") > maxWidth) {
        std::size_t cut = second.size() - 1;
        while (cut > 0 && (static_cast<unsigned char>(second[cut]) & 0xC0) == 0x80) --cut;
        second.erase(cut);
    }
    second += "...";
    return lines;
}

void GameLauncher::handleResize(unsigned width, unsigned height) {
    // A borderless window never grows past its monitor's work area: it is put
    // back to exactly that area, and the resize that follows lays it out.
    if (fullscreen == 1) {
        const auto area = workAreaFor(nativeHandle());
        if (area.width > 0 && area.height > 0 &&
            (static_cast<int>(width) > area.width || static_cast<int>(height) > area.height)) {
            moveResizeWindow(nativeHandle(), area);
            return;
        }
    }
    const float w = static_cast<float>(width);
    const float h = static_cast<float>(height);
    leftPanelWidth = clampLeftPanelWidth(settings.leftPanelWidthRatio * w, w);
    const float gridTop = toolbarHeight + kSplitter;
    leftTopHeight = clampPictureHeight(settings.leftTopHeightRatio * (h - gridTop), h, gridTop);
    windowWidth = w;
    windowHeight = h;
    // A window wider than the screen was thought to be: later pictures keep
    // the detail its picture area can show.
    if (static_cast<int>(w) - 104 > pictureLoader.maxWidth()) pictureLoader.setMaxWidth(static_cast<int>(w) - 104);
    window.setView(sf::View(sf::FloatRect(0, 0, w, h)));
    updateRichEditPosition();
    placeSearchBox();
}

void GameLauncher::placeSearchBox() {
    const UiRect r = searchBoxRect(windowWidth);
    searchBox.position = {r.x, r.y};
    searchBox.size = {r.w, r.h};
}

UiRect GameLauncher::textBoxPlace() const {
    // The window's own height: a resize not yet handled has already moved the bottom edge.
    Panels p = panels();
    p.windowHeight = static_cast<float>(window.getSize().y);
    return textBoxRect(p);
}

void GameLauncher::updateRichEditPosition() {
    const float oldWidth = textBox.width;
    const UiRect r = textBoxPlace();
    textBox.x = r.x;
    textBox.y = r.y;
    textBox.width = r.w;
    textBox.height = r.h;
    if (textBox.width != oldWidth) textBox.buildLines();
}

}  // namespace ludexa

namespace ludexa {

Panels GameLauncher::panels() const {
    return {windowWidth, windowHeight, toolbarHeight, leftPanelWidth, leftTopHeight};
}

GridGeometry GameLauncher::currentGrid() const {
    return gridGeometry(windowWidth, leftPanelWidth, toolbarHeight, settings.iconSize, settings.fontSize);
}

std::size_t GameLauncher::visibleCount() const {
    return library.desktopMode() ? desktopItems.size() : library.filteredIndices().size();
}

}  // namespace ludexa
