// The category tag bar: the fixed tags 全部, 收藏, 桌面, the 多选 button and the
// user's categories wrapped into rows. One layout function is used by drawing,
// mouse hit testing, gamepad row navigation and the expand state, so they can
// never disagree on where a tag is.
#pragma once

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "library/library_view.h"
#include "ui/layout.h"

namespace ludexa {

// Tag ids: the fixed tags and the multi-select button are negative, the user's
// categories are their index in the category list.
inline constexpr int kTagAll = -1;
inline constexpr int kTagFavorites = -2;
inline constexpr int kTagDesktop = -3;
inline constexpr int kTagMultiSelect = -4;

inline constexpr float kTagBarTop = 8;  // the first line's top
inline constexpr float kTagHeight = 26;
inline constexpr float kMultiSelectWidth = 40;
inline constexpr float kExpandButtonWidth = 28;
inline constexpr float kTagGap = 5;
inline constexpr float kTagRowPitch = 34;
inline constexpr float kTagBarLeft = 590;
// On a narrow window the first line may move left, up to here (just right of
// the toolbar buttons), to end before the search box.
inline constexpr float kTagBarMinLeft = 400;
// The tag bar ends this far left of the search box.
inline constexpr float kTagBarEndGap = 8;
// The expanded bar takes at most this share of the window's height; the rows
// below it scroll inside the bar.
inline constexpr float kExpandedBarShare = 0.4f;
// A row is given at least this width (or what the first line has room for,
// if less) where the wide-window rule leaves none.
inline constexpr float kMinRowLimit = 300;

struct TagInfo {
    std::wstring label;
    float width = 0;  // label width + 20
    int id = 0;
};

// One row of category tags: indices into the category list, and its width.
struct RowLine {
    std::vector<int> tags;
    float width = 0;
};
using RowInfo = RowLine;

struct TagRect {
    int id = 0;
    float x = 0, y = 0, width = 0, height = kTagHeight;
};

// How the rows are shown: only the first line when collapsed; expanded, as
// many as fit in the bar's share of the window's height, the first line
// always and below it the rows from 1 + rowScroll on.
struct CategoryBarView {
    bool expanded = false;
    float windowHeight = 0;
    int rowScroll = 0;
};

struct CategoryBarLayout {
    std::vector<TagInfo> fixedTags;     // 全部, 收藏, 桌面
    std::vector<TagInfo> categoryTags;  // one per category, in list order
    float fixedWidth = 0;
    float rowLimit = 0;
    float startX = kTagBarLeft;
    float windowWidth = 0;
    // Nothing of the bar reaches this x: the search box and the display-mode
    // button right of it are never covered, and clicks there reach them.
    float rightLimit = 0;
    std::vector<RowLine> rows;  // may be empty when there are no categories

    float multiSelectX() const { return startX + fixedWidth + kTagGap; }
    TagRect multiSelectRect() const;
    float separatorX() const { return startX + fixedWidth + 45 + 6; }
    float categoryRowX() const { return startX + fixedWidth + 45 + 13; }
    bool hasExpandButton() const { return rows.size() >= 2; }
    // Right of the search area's gap; never over the tags of the first line,
    // which reach further on a narrow window.
    float expandButtonX() const;
    TagRect expandButtonRect() const;
    // Rows shown, the first line included.
    int shownRows(const CategoryBarView& view) const;
    float targetToolbarHeight(const CategoryBarView& view) const;
    // The rows scrolled past below the first line, within what there is.
    int rowScroll(const CategoryBarView& view) const;
    int maxRowScroll(const CategoryBarView& view) const;
    // The scroll that shows `row`, changed as little as possible.
    int scrollToShow(int row, const CategoryBarView& view) const;
    // The bar's scroll thumb while rows are hidden; width 0 otherwise.
    TagRect scrollThumb(const CategoryBarView& view) const;

    // Rectangles of the fixed tags, the multi-select button and the category
    // tags of the shown rows, in hit-testing order after the expand button.
    std::vector<TagRect> tagRects(const CategoryBarView& view) const;
    // The id of the tag under a point, kTagExpand for the expand button, or
    // kNoTag. Hit testing order: 多选, expand, fixed tags, categories.
    int hitTest(float x, float y, const CategoryBarView& view) const;
    // The row holding category `index`, or -1.
    int rowOf(int index) const;
};

inline constexpr int kTagExpand = -100;
inline constexpr int kNoTag = -101;

// `measure` gives the width of a label at a character size.
CategoryBarLayout layoutCategoryBar(float windowWidth, const std::vector<std::string>& categories,
                                    unsigned fontSize,
                                    const std::function<float(const std::wstring&, unsigned)>& measure);

// The layout of the last frame, laid out again only when the window width,
// the categories, the size or the font changed: measuring every label on every
// frame made a long category list slow down the whole window.
class CategoryBarCache {
public:
    using Measure = std::function<float(const std::wstring&, unsigned)>;
    // `font` identifies the face the labels are measured in.
    const CategoryBarLayout& get(float windowWidth, const std::vector<std::string>& categories, unsigned fontSize,
                                 const void* font, const Measure& measure);

private:
    bool valid_ = false;
    float windowWidth_ = 0;
    std::vector<std::string> categories_;
    unsigned fontSize_ = 0;
    const void* font_ = nullptr;
    CategoryBarLayout layout_;
};


// A click on a category tag (not a fixed tag).
void clickCategoryTag(CategoryState& state, const std::string& category);

// LB (-1) and RB (+1): the cycle 全部 → 收藏 → categories → 全部.
void quickSwitch(CategoryState& state, const std::vector<std::string>& categories, int direction);

}  // namespace ludexa
