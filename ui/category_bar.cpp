// The category tag bar inside the toolbar band: layout, drawing, clicks,
// quick switching and the expand state.
#include "ui/category_bar.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "app/GameLauncher.h"
#include "appearance/themes.h"
#include "platform/text.h"
#include "ui/draw.h"

namespace ludexa {

int CategoryBarLayout::shownRows(const CategoryBarView& view) const {
    if (rows.size() <= 1 || !view.expanded) return rows.empty() ? 0 : 1;
    // n rows make the toolbar (n - 1) × pitch + 44 high.
    const float barHeight = kExpandedBarShare * view.windowHeight;
    const int fitting = 1 + static_cast<int>(std::floor((barHeight - 44) / kTagRowPitch));
    return std::clamp(fitting, 2, static_cast<int>(rows.size()));
}

float CategoryBarLayout::targetToolbarHeight(const CategoryBarView& view) const {
    const int shown = shownRows(view);
    return shown <= 1 ? 44.0f : static_cast<float>(shown - 1) * kTagRowPitch + 44.0f;
}

float CategoryBarLayout::expandButtonX() const {
    const float firstLineEnd = rows.empty() ? multiSelectX() + kMultiSelectWidth : categoryRowX() + rows.front().width;
    return std::min(std::max(windowWidth - 473, firstLineEnd + kTagGap), rightLimit - kExpandButtonWidth);
}

TagRect CategoryBarLayout::multiSelectRect() const {
    return {kTagMultiSelect, multiSelectX(), kTagBarTop, kMultiSelectWidth, kTagHeight};
}

TagRect CategoryBarLayout::expandButtonRect() const {
    return {kTagExpand, expandButtonX(), kTagBarTop, kExpandButtonWidth, kTagHeight};
}

int CategoryBarLayout::maxRowScroll(const CategoryBarView& view) const {
    return view.expanded ? static_cast<int>(rows.size()) - shownRows(view) : 0;
}

int CategoryBarLayout::rowScroll(const CategoryBarView& view) const {
    return std::clamp(view.rowScroll, 0, std::max(0, maxRowScroll(view)));
}

int CategoryBarLayout::scrollToShow(int row, const CategoryBarView& view) const {
    int scroll = rowScroll(view);
    const int shown = shownRows(view);
    // Below the first line, rows 1 + scroll to scroll + shown - 1 are shown.
    if (row >= 1 && row < 1 + scroll) scroll = row - 1;
    if (row > scroll + shown - 1) scroll = row - shown + 1;
    return std::clamp(scroll, 0, std::max(0, maxRowScroll(view)));
}

TagRect CategoryBarLayout::scrollThumb(const CategoryBarView& view) const {
    const int hidden = maxRowScroll(view);
    if (hidden <= 0) return {kNoTag, 0, 0, 0, 0};
    const int shownBelow = shownRows(view) - 1;
    const int rowsBelow = static_cast<int>(rows.size()) - 1;
    // The track runs beside the rows below the first line, right of the widest.
    float widest = 0;
    for (const auto& row : rows) widest = std::max(widest, row.width);
    const float x = std::min(categoryRowX() + widest + 6, rightLimit - 6);
    const float track = kTagRowPitch * static_cast<float>(shownBelow - 1) + kTagHeight;
    const float length = track * static_cast<float>(shownBelow) / static_cast<float>(rowsBelow);
    const float offset = (track - length) * static_cast<float>(rowScroll(view)) / static_cast<float>(hidden);
    return {kNoTag, x, kTagBarTop + kTagRowPitch + offset, 4, length};
}

std::vector<TagRect> CategoryBarLayout::tagRects(const CategoryBarView& view) const {
    std::vector<TagRect> rects;
    float x = startX;
    for (const auto& tag : fixedTags) {
        rects.push_back({tag.id, x, kTagBarTop, tag.width, kTagHeight});
        x += tag.width + kTagGap;
    }
    rects.push_back(multiSelectRect());
    const int shown = shownRows(view);
    const int scroll = rowScroll(view);
    for (int line = 0; line < shown; ++line) {
        const int r = line == 0 ? 0 : line + scroll;
        float cx = categoryRowX();
        const float y = kTagBarTop + kTagRowPitch * static_cast<float>(line);
        for (int index : rows[static_cast<std::size_t>(r)].tags) {
            const float w = categoryTags[static_cast<std::size_t>(index)].width;
            rects.push_back({index, cx, y, w, kTagHeight});
            cx += w + kTagGap;
        }
    }
    return rects;
}

int CategoryBarLayout::hitTest(float x, float y, const CategoryBarView& view) const {
    const auto inside = [&](const TagRect& r) {
        return x >= r.x && x <= r.x + r.width && y >= r.y && y <= r.y + r.height;
    };
    if (x >= rightLimit) return kNoTag;
    if (inside(multiSelectRect())) return kTagMultiSelect;
    if (hasExpandButton() && inside(expandButtonRect())) return kTagExpand;
    for (const auto& rect : tagRects(view)) {
        if (rect.id == kTagMultiSelect) continue;
        if (inside(rect)) return rect.id;
    }
    return kNoTag;
}

int CategoryBarLayout::rowOf(int index) const {
    for (std::size_t r = 0; r < rows.size(); ++r)
        if (std::find(rows[r].tags.begin(), rows[r].tags.end(), index) != rows[r].tags.end()) return static_cast<int>(r);
    return -1;
}

CategoryBarLayout layoutCategoryBar(float windowWidth, const std::vector<std::string>& categories, unsigned fontSize,
                                    const std::function<float(const std::wstring&, unsigned)>& measure) {
    CategoryBarLayout layout;
    layout.windowWidth = windowWidth;
    const std::pair<const wchar_t*, int> fixed[] = {{L"全部", kTagAll}, {L"收藏", kTagFavorites}, {L"桌面", kTagDesktop}};
    for (const auto& [label, id] : fixed) {
        layout.fixedTags.push_back({label, measure(label, fontSize) + 20, id});
        layout.fixedWidth += layout.fixedTags.back().width;
    }
    layout.fixedWidth += 2 * kTagGap;
    for (std::size_t i = 0; i < categories.size(); ++i) {
        const auto label = utf8ToWstring(categories[i]);
        layout.categoryTags.push_back({label, measure(label, fontSize) + 20, static_cast<int>(i)});
    }

    const float available = windowWidth - 1067;  // from x 590 to 4 pixels before the expand button
    // The first line ends before the search box: on a narrow window it moves
    // left as far as the toolbar buttons allow; what still does not fit is cut
    // off at rightLimit.
    layout.rightLimit = searchBoxRect(windowWidth).x - kTagBarEndGap;
    layout.rowLimit = std::max(0.0f, available - (layout.fixedWidth + 45) - 13);
    // Below about 1300 pixels the rule above leaves no width at all, and every
    // category would take a row of its own while the first line, moved left,
    // has room for several: there a row may be as wide as that room.
    const float firstLineRoom = layout.rightLimit - kExpandButtonWidth - kTagGap - (kTagBarMinLeft + layout.fixedWidth + 45 + 13);
    layout.rowLimit = std::max(layout.rowLimit, std::clamp(firstLineRoom, 0.0f, kMinRowLimit));
    for (std::size_t i = 0; i < layout.categoryTags.size(); ++i) {
        const float w = layout.categoryTags[i].width;
        if (layout.rows.empty() ||
            (!layout.rows.back().tags.empty() && layout.rows.back().width + kTagGap + w > layout.rowLimit)) {
            layout.rows.push_back({});
        }
        auto& row = layout.rows.back();
        row.width += row.tags.empty() ? w : kTagGap + w;
        row.tags.push_back(static_cast<int>(i));
    }
    const float firstRowWidth = layout.rows.empty() ? 0 : layout.rows.front().width;
    layout.startX = std::max(kTagBarLeft, kTagBarLeft + (available - (layout.fixedWidth + 45 + 13 + firstRowWidth)) / 2);
    // The rows below start where the first one does: the widest of them, with
    // the expand button's room beside it, decides how far left the bar moves.
    float widestRow = 0;
    for (const auto& row : layout.rows) widestRow = std::max(widestRow, row.width);
    const float firstLine = layout.rows.empty()
                                ? layout.fixedWidth + kTagGap + kMultiSelectWidth
                                : layout.fixedWidth + 45 + 13 + widestRow + (layout.rows.size() >= 2 ? kTagGap + kExpandButtonWidth : 0);
    if (layout.startX + firstLine > layout.rightLimit)
        layout.startX = std::max(kTagBarMinLeft, layout.rightLimit - firstLine);
    return layout;
}

const CategoryBarLayout& CategoryBarCache::get(float windowWidth, const std::vector<std::string>& categories,
                                               unsigned fontSize, const void* font, const Measure& measure) {
    if (!valid_ || windowWidth != windowWidth_ || fontSize != fontSize_ || font != font_ || categories != categories_) {
        layout_ = layoutCategoryBar(windowWidth, categories, fontSize, measure);
        windowWidth_ = windowWidth;
        categories_ = categories;
        fontSize_ = fontSize;
        font_ = font;
        valid_ = true;
    }
    return layout_;
}

void clickCategoryTag(CategoryState& state, const std::string& category) {
    state.categoryMode = 0;
    state.desktopMode = false;
    if (state.multiSelectMode) {
        if (!state.selectedCategories.erase(category)) state.selectedCategories.insert(category);
    } else if (state.selectedCategories.size() == 1 && state.selectedCategories.count(category)) {
        state.selectedCategories.clear();
    } else {
        state.selectedCategories = {category};
    }
}

void quickSwitch(CategoryState& state, const std::vector<std::string>& categories, int direction) {
    state.multiSelectMode = false;
    // Positions in the cycle: -2 全部, -1 收藏, 0..n-1 categories.
    int position = -2;
    if (state.categoryMode == 1) {
        position = -1;
    } else if (!state.selectedCategories.empty()) {
        const auto it = std::find(categories.begin(), categories.end(), *state.selectedCategories.begin());
        position = it == categories.end() ? -2 : static_cast<int>(it - categories.begin());
    }
    const int n = static_cast<int>(categories.size());
    int next;
    if (direction > 0) {
        next = position == -2 ? -1 : position == -1 ? (n > 0 ? 0 : -2) : (position + 1 < n ? position + 1 : -2);
    } else {
        next = position == -2 ? (n > 0 ? n - 1 : -1) : position == -1 ? -2 : (position == 0 ? -1 : position - 1);
    }
    state.desktopMode = false;
    state.selectedCategories.clear();
    if (next == -2) {
        state.categoryMode = 0;
    } else if (next == -1) {
        state.categoryMode = 1;
    } else {
        state.categoryMode = 0;
        state.selectedCategories.insert(categories[static_cast<std::size_t>(next)]);
    }
}

// ---- The launcher's side ---------------------------------------------------

const CategoryBarLayout& GameLauncher::categoryBarLayout() const {
    const sf::Font& font = contentFont;
    // A font load always fills a new buffer while the old one is still held,
    // so the buffer's address tells one loaded face from the next.
    return categoryBarCache.get(windowWidth, library.categories(), static_cast<unsigned>(settings.fontSize),
                                contentFontBytes.data(),
                                [&font](const std::wstring& label, unsigned size) {
                                    return sf::Text(sf::String(label), font, size).getLocalBounds().width;
                                });
}

CategoryBarView GameLauncher::categoryBarView() const {
    return {categoriesExpanded, windowHeight, categoryRowScroll};
}

void GameLauncher::easeToolbarHeight() {
    const float target = categoryBarLayout().targetToolbarHeight(categoryBarView());
    if (std::fabs(toolbarHeight - target) > 1) {
        toolbarHeight += (target - toolbarHeight) * 0.25f;
    } else if (toolbarHeight != target) {
        toolbarHeight = target;
    }
}

void GameLauncher::drawCategoryBar() {
    const auto& layout = categoryBarLayout();
    const ClipScope clip(window, 0, 0, std::max(0.0f, layout.rightLimit), toolbarHeight);
    const sf::Color idleFill = kTagIdle.fill, idleOutline = kTagIdle.outline, idleLabel = kTagIdleLabel;
    const sf::Color activeFill = kTagActive;
    const unsigned size = static_cast<unsigned>(settings.fontSize);
    const bool ringShown = gamepad.focusActive && gamepad.focusArea == 0;

    auto drawTag = [&](const TagRect& rect, const std::wstring& label, sf::Color fill, sf::Color outline,
                       sf::Color labelColor, unsigned labelSize) {
        outlinedRect(window, rect.x, rect.y, rect.width, rect.height, fill, outline);
        sf::Text text(sf::String(label), contentFont, labelSize);
        text.setFillColor(labelColor);
        const auto b = text.getLocalBounds();
        text.setPosition(std::floor(rect.x + (rect.width - b.width) / 2 - b.left),
                         std::floor(rect.y + kTagHeight / 2 - contentFont.getLineSpacing(labelSize) / 2));
        window.draw(text);
        if (ringShown && rect.id == gamepad.focusTag) {
            sf::RectangleShape ring({rect.width + 4, rect.height + 4});
            ring.setPosition(rect.x - 2, rect.y - 2);
            ring.setFillColor(sf::Color::Transparent);
            ring.setOutlineColor(kTagFocusRing);
            ring.setOutlineThickness(1);
            window.draw(ring);
        }
    };
    auto drawChoice = [&](const TagRect& rect, const std::wstring& label, bool active) {
        drawTag(rect, label, active ? activeFill : idleFill, active ? activeFill : idleOutline,
                active ? sf::Color::White : idleLabel, size);
    };

    const CategoryBarView view = categoryBarView();
    const CategoryState& choice = library.categoryState();
    for (const auto& rect : layout.tagRects(view)) {
        if (rect.id == kTagMultiSelect) {
            const bool on = choice.multiSelectMode;
            drawTag(rect, L"多选", on ? kMultiSelectOn.fill : idleFill, on ? kMultiSelectOn.outline : idleOutline,
                    on ? sf::Color::White : idleLabel, size > 1 ? size - 1 : size);
            continue;
        }
        if (rect.id < 0) {
            const auto& tag = *std::find_if(layout.fixedTags.begin(), layout.fixedTags.end(),
                                            [&](const TagInfo& t) { return t.id == rect.id; });
            const bool active = rect.id == kTagAll ? choice.categoryMode == 0 && choice.selectedCategories.empty() &&
                                                         !choice.desktopMode
                                : rect.id == kTagFavorites ? choice.categoryMode == 1
                                                           : choice.desktopMode;
            drawChoice(rect, tag.label, active);
        } else {
            const auto& name = library.categories()[static_cast<std::size_t>(rect.id)];
            // On a window too narrow for the whole first line, the expand
            // button keeps its place and the first row's tags end before it.
            std::optional<ClipScope> beforeButton;
            if (layout.hasExpandButton() && rect.y == kTagBarTop && rect.x + rect.width > layout.expandButtonX() - kTagGap)
                beforeButton.emplace(window, 0, 0, std::max(0.0f, layout.expandButtonX() - kTagGap), toolbarHeight);
            drawChoice(rect, layout.categoryTags[static_cast<std::size_t>(rect.id)].label,
                       choice.selectedCategories.count(name) > 0);
        }
    }
    fillRect(window, layout.separatorX(), 11, 1, 20, kTagSeparator);
    if (const TagRect thumb = layout.scrollThumb(view); thumb.width > 0)
        fillRect(window, thumb.x, thumb.y, thumb.width, thumb.height, idleOutline);
    if (layout.hasExpandButton()) {
        const TagRect button = layout.expandButtonRect();
        outlinedRect(window, button.x, button.y, button.width, button.height, kExpandButtonFill, idleOutline);
        auto arrow = makeText(categoriesExpanded ? "▲" : "▼", uiFont, 12, idleLabel);
        centreText(arrow, button.x + button.width / 2, button.y + 12);
        window.draw(arrow);
    }
}

void GameLauncher::applyCategoryState(const CategoryState& state) {
    const bool leavingDesktop = library.categoryState().desktopMode && !state.desktopMode;
    const ViewChange change = library.setCategoryState(state);
    if (leavingDesktop) clearDesktopItems();
    applyViewChange(change);
}

void GameLauncher::chooseTag(int id, bool fromGamepad) {
    CategoryState state = library.categoryState();
    switch (id) {
        case kTagExpand:
            categoriesExpanded = !categoriesExpanded;
            categoryRowScroll = 0;
            return;
        case kTagMultiSelect:
            state.multiSelectMode = !state.multiSelectMode;
            if (state.multiSelectMode) {
                library.setMultiSelectMode(true);
                return;
            }
            state.selectedCategories.clear();
            state.categoryMode = 0;
            if (fromGamepad) state.desktopMode = false;
            break;
        case kTagAll:
        case kTagFavorites:
            state.categoryMode = id == kTagAll ? 0 : 1;
            state.selectedCategories.clear();
            state.desktopMode = false;
            break;
        case kTagDesktop:
            if (state.desktopMode) return;
            enterDesktopView();
            return;
        default:
            if (id < 0 || static_cast<std::size_t>(id) >= library.categories().size()) return;
            clickCategoryTag(state, library.categories()[static_cast<std::size_t>(id)]);
            break;
    }
    applyCategoryState(state);
}

void GameLauncher::enterDesktopView() {
    library.enterDesktop();
    mapFiles.clear();
    mapVisible = false;
    scanDesktopFolder();
    createDesktopIconTextures();
    gridInput.scrollOffset = 0;
    focusIndex = 0;
    updateTextContent();
}

bool GameLauncher::handleCategoryBarClick(float x, float y) {
    const int id = categoryBarLayout().hitTest(x, y, categoryBarView());
    if (id == kNoTag) return false;
    chooseTag(id, false);
    return true;
}

bool GameLauncher::handleCategoryBarWheel(float y, float delta) {
    const auto& layout = categoryBarLayout();
    const CategoryBarView view = categoryBarView();
    if (y < 0 || y >= toolbarHeight || layout.maxRowScroll(view) <= 0) return false;
    const int step = delta > 0 ? -1 : delta < 0 ? 1 : 0;
    categoryRowScroll = layout.rowScroll({view.expanded, view.windowHeight, layout.rowScroll(view) + step});
    return true;
}

void GameLauncher::quickSwitchCategory(int direction) {
    CategoryState state = library.categoryState();
    const auto& categories = library.categories();
    quickSwitch(state, categories, direction);
    applyCategoryState(state);
    gamepad.focusArea = 1;
    categoriesExpanded = true;
    categoryTempExpanded = true;
    categoryTempExpandClock.restart();
    // The category switched to is shown while the bar is open.
    const auto& layout = categoryBarLayout();
    const auto& selected = library.categoryState().selectedCategories;
    const auto it = selected.empty() ? categories.end()
                                     : std::find(categories.begin(), categories.end(), *selected.begin());
    const int row = it == categories.end() ? 0 : layout.rowOf(static_cast<int>(it - categories.begin()));
    categoryRowScroll = layout.scrollToShow(row, {true, windowHeight, 0});
}

void GameLauncher::updateCategoryExpandState() {
    if (gamepad.focusTag < 0) {
        categoriesExpanded = false;
        return;
    }
    const auto& layout = categoryBarLayout();
    const int row = layout.rowOf(gamepad.focusTag);
    categoriesExpanded = row > 0;
    if (categoriesExpanded) categoryRowScroll = layout.scrollToShow(row, categoryBarView());
}

void GameLauncher::applyGamepadCategoryClick() { chooseTag(gamepad.focusTag, true); }

}  // namespace ludexa
