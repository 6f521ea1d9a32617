// The category tag bar: rows at several window widths, hit testing, clicks and
// the quick-switch cycle.
#include <gtest/gtest.h>

#include "ui/category_bar.h"

using namespace ludexa;

namespace {

// Every character 10 pixels wide, whatever the size.
float tenPerChar(const std::wstring& s, unsigned) { return 10.0f * static_cast<float>(s.size()); }

CategoryBarView collapsed() { return {false, 800, 0}; }
CategoryBarView expanded(float windowHeight = 800, int rowScroll = 0) { return {true, windowHeight, rowScroll}; }

// Sixteen categories of two to four characters (40 to 60 pixels wide).
const std::vector<std::string> kSixteen = {"动作", "角色扮演", "策略", "休闲", "独立游戏", "射击", "竞速", "模拟",
                                           "冒险", "体育", "格斗游戏", "解谜", "音乐", "恐怖", "沙盒建造", "卡牌"};

}  // namespace

// Labels are measured once per change of the bar's inputs, not once per frame.
TEST(CategoryBar, CacheMeasuresOnlyWhenSomethingChanged) {
    int measured = 0;
    const auto counting = [&measured](const std::wstring& s, unsigned size) {
        ++measured;
        return tenPerChar(s, size);
    };
    CategoryBarCache cache;
    std::vector<std::string> names = {"动作", "策略"};
    const int font = 0;
    const auto first = cache.get(1600, names, 14, &font, counting).rows;
    EXPECT_EQ(measured, 5);  // three fixed tags and two categories
    for (int frame = 0; frame < 10; ++frame) (void)cache.get(1600, names, 14, &font, counting);
    EXPECT_EQ(measured, 5);
    names.push_back("模拟");
    EXPECT_EQ(cache.get(1600, names, 14, &font, counting).categoryTags.size(), 3u);
    EXPECT_EQ(measured, 11);
    (void)cache.get(1600, names, 16, &font, counting);
    (void)cache.get(1200, names, 16, &font, counting);
    const int otherFont = 0;
    (void)cache.get(1200, names, 16, &otherFont, counting);
    EXPECT_EQ(measured, 29);
}

// Every tag is clicked where it is drawn; the rows below the first only while expanded.
TEST(CategoryBar, RowsWrapAtTheLimitAndAreClickedWhereDrawn) {
    const auto none = layoutCategoryBar(1200, {}, 14, tenPerChar);
    EXPECT_TRUE(none.rows.empty());
    EXPECT_FALSE(none.hasExpandButton());
    EXPECT_EQ(none.targetToolbarHeight(expanded()), 44);
    EXPECT_EQ(none.startX, 590);  // never left of 590 while there is room

    // 1600 wide: the row limit is 345.
    const std::vector<std::string> names = {"动作", "角色扮演", "策略", "休闲", "独立", "射击", "竞速游戏", "模拟"};
    const auto layout = layoutCategoryBar(1600, names, 14, tenPerChar);
    // Widths 40, 60, 40, 40, 40, 40, 60, 40: six fit in 285; the seventh would need 350.
    ASSERT_EQ(layout.rows.size(), 2u);
    EXPECT_EQ(layout.rows[0].tags, (std::vector<int>{0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(layout.rows[0].width, 285);
    EXPECT_EQ(layout.rows[1].tags, (std::vector<int>{6, 7}));
    EXPECT_EQ(layout.targetToolbarHeight(collapsed()), 44);
    EXPECT_EQ(layout.rowOf(7), 1);
    EXPECT_EQ(layout.rowOf(9), -1);
    EXPECT_EQ(layout.startX, 620);  // the first line is centred

    for (const auto& view : {collapsed(), expanded()}) {
        const auto rects = layout.tagRects(view);
        EXPECT_EQ(rects.size(), view.expanded ? 12u : 10u);
        for (const auto& r : rects) {
            EXPECT_EQ(layout.hitTest(r.x, r.y, view), r.id);
            EXPECT_EQ(layout.hitTest(r.x + r.width, r.y + r.height, view), r.id);
        }
    }
    const TagRect expand = layout.expandButtonRect();
    EXPECT_EQ(layout.hitTest(expand.x + 5, 20, collapsed()), kTagExpand);
    EXPECT_EQ(layout.hitTest(layout.categoryRowX() + 1, 8 + 34 + 5, collapsed()), kNoTag);
    EXPECT_EQ(layout.hitTest(400, 20, expanded()), kNoTag);
}

// Below about 1300 pixels the wide-window rule leaves no row width; a row then
// gets the room the first line has once moved left, up to kMinRowLimit.
TEST(CategoryBar, NarrowWindowsKeepRowsAsWideAsTheFirstLineAllows) {
    struct Case {
        float width;
        float rowLimit;
    };
    // fixedWidth 130: the room is W - 253 - 33 - (400 + 130 + 58) = W - 874.
    for (const Case c : {Case{1000, 126}, Case{1100, 226}, Case{1200, 300}, Case{1400, 300}, Case{1600, 345}}) {
        const auto layout = layoutCategoryBar(c.width, kSixteen, 14, tenPerChar);
        EXPECT_EQ(layout.rowLimit, c.rowLimit) << c.width;
        for (const auto& row : layout.rows)
            if (row.tags.size() > 1) EXPECT_LE(row.width, layout.rowLimit) << c.width;
        // The first line, expand button included, still ends before the search box.
        EXPECT_GE(layout.startX, kTagBarMinLeft) << c.width;
        EXPECT_LE(layout.expandButtonX() + 28, layout.rightLimit) << c.width;
        EXPECT_GE(layout.expandButtonX(), layout.categoryRowX() + layout.rows[0].width + kTagGap) << c.width;
    }
    // Every row ends before the search box, also one wider than the first line.
    for (const auto& names : {kSixteen, std::vector<std::string>{"动作", "角色扮演游戏类", "策略", "休闲"}}) {
        const auto layout = layoutCategoryBar(1000, names, 14, tenPerChar);
        for (const auto& row : layout.rows) EXPECT_LE(layout.categoryRowX() + row.width, layout.rightLimit - 6);
    }
    // A category wider than any row still has one of its own.
    const auto layout = layoutCategoryBar(1000, {"a", "b", "a category wider than any row"}, 14, tenPerChar);
    ASSERT_EQ(layout.rows.size(), 2u);
    EXPECT_EQ(layout.rows[1].tags, std::vector<int>{2});
}

// Expanded, the bar takes at most 40 % of the window's height; the rows below
// the first line scroll inside it.
TEST(CategoryBar, ExpandedBarIsBoundedAndScrolls) {
    const auto layout = layoutCategoryBar(1000, kSixteen, 14, tenPerChar);
    ASSERT_EQ(layout.rows.size(), 8u);
    // 600 high: 240 pixels hold 6 rows (5 × 34 + 44 = 214).
    EXPECT_EQ(layout.shownRows(expanded(600)), 6);
    EXPECT_EQ(layout.targetToolbarHeight(expanded(600)), 214);
    EXPECT_EQ(layout.maxRowScroll(expanded(600)), 2);
    EXPECT_EQ(layout.rowScroll(expanded(600, 5)), 2);
    EXPECT_EQ(layout.rowScroll(expanded(600, -1)), 0);
    EXPECT_EQ(layout.rowScroll({false, 600, 2}), 0);  // collapsed, nothing is scrolled
    // Tall enough for all rows: the bar's own geometry, nothing to scroll.
    EXPECT_EQ(layout.targetToolbarHeight(expanded(1200)), 7 * 34 + 44);
    EXPECT_EQ(layout.maxRowScroll(expanded(1200)), 0);
    EXPECT_EQ(layout.scrollThumb(expanded(1200)).width, 0);
    // Very low: the first line and one row below it.
    EXPECT_EQ(layout.shownRows(expanded(100)), 2);

    // Scrolled by two: the first line stays, below it rows 3 to 7.
    const float x = layout.categoryRowX() + 1;
    EXPECT_EQ(layout.hitTest(x, 8 + 5, expanded(600, 2)), layout.rows[0].tags.front());
    EXPECT_EQ(layout.hitTest(x, 8 + 34 + 5, expanded(600, 2)), layout.rows[3].tags.front());
    EXPECT_EQ(layout.hitTest(x, 8 + 5 * 34 + 5, expanded(600, 2)), layout.rows[7].tags.front());
    for (const auto& r : layout.tagRects(expanded(600, 2))) EXPECT_LE(r.y + r.height, 214);

    // The thumb runs from the top of the second line to the bottom of the last.
    const TagRect top = layout.scrollThumb(expanded(600, 0)), bottom = layout.scrollThumb(expanded(600, 2));
    EXPECT_EQ(top.y, 8 + 34);
    EXPECT_FLOAT_EQ(bottom.y + bottom.height, 8 + 5 * 34 + 26);
    EXPECT_LT(bottom.x + bottom.width, layout.rightLimit);

    // Keeping a row in view (gamepad focus, quick switching): the least scroll.
    struct Case {
        int row, scroll, expected;
    };
    for (const Case c : {Case{0, 2, 2}, Case{1, 2, 0}, Case{3, 2, 2}, Case{5, 0, 0}, Case{6, 0, 1}, Case{7, 0, 2},
                         Case{4, 1, 1}})
        EXPECT_EQ(layout.scrollToShow(c.row, expanded(600, c.scroll)), c.expected) << c.row << " " << c.scroll;
}

TEST(CategoryBar, TheSearchBoxIsNeverCovered) {
    const std::vector<std::string> names = {"动作", "角色扮演", "一个很长很长很长的分类名字"};
    for (float w : {700.0f, 900.0f, 1200.0f, 1600.0f}) {
        const auto layout = layoutCategoryBar(w, names, 14, tenPerChar);
        EXPECT_GE(layout.startX, 400) << w;  // never over the toolbar buttons
        if (w >= 900) EXPECT_LE(layout.multiSelectX() + 40, layout.rightLimit) << w;  // the fixed tags fit
        // The search box and the display-mode button right of it take no tag clicks.
        for (float x = w - 253; x < w; x += 7)
            for (float y : {10.0f, 20.0f, 30.0f}) EXPECT_EQ(layout.hitTest(x, y, expanded()), kNoTag) << w << " " << x;
    }
}

TEST(CategoryBar, ClicksOnCategories) {
    CategoryState s;
    clickCategoryTag(s, "RPG");
    EXPECT_EQ(s.selectedCategories, std::set<std::string>{"RPG"});
    clickCategoryTag(s, "RPG");  // the only selected one again: back to all games
    EXPECT_TRUE(s.selectedCategories.empty());
    clickCategoryTag(s, "RPG");
    clickCategoryTag(s, "Action");  // without multi-select the choice is replaced
    EXPECT_EQ(s.selectedCategories, std::set<std::string>{"Action"});

    s.multiSelectMode = true;
    clickCategoryTag(s, "RPG");
    EXPECT_EQ(s.selectedCategories, (std::set<std::string>{"Action", "RPG"}));
    clickCategoryTag(s, "Action");
    EXPECT_EQ(s.selectedCategories, std::set<std::string>{"RPG"});

    CategoryState desktop{-1, {}, true, false};
    clickCategoryTag(desktop, "RPG");
    EXPECT_FALSE(desktop.desktopMode);
    EXPECT_EQ(desktop.categoryMode, 0);
}

TEST(CategoryBar, QuickSwitchCyclesBothWays) {
    // "0" 全部, "1" 收藏, "0A" the category A alone.
    const auto where = [](const CategoryState& s) {
        return std::to_string(s.categoryMode) + (s.selectedCategories.size() == 1 ? *s.selectedCategories.begin() : "");
    };
    CategoryState s;
    s.multiSelectMode = true;
    for (const auto& [direction, expected] : {std::pair{+1, "1"}, {+1, "0A"}, {+1, "0B"}, {+1, "0"}, {-1, "0B"},
                                              {-1, "0A"}, {-1, "1"}, {-1, "0"}}) {
        quickSwitch(s, {"A", "B"}, direction);
        EXPECT_EQ(where(s), expected) << direction;
        EXPECT_FALSE(s.multiSelectMode);
    }
    quickSwitch(s, {}, -1);  // no categories: 全部 → 收藏 → 全部
    EXPECT_EQ(where(s), "1");
    quickSwitch(s, {}, +1);
    EXPECT_EQ(where(s), "0");

    CategoryState desktop{-1, {}, true, false};
    quickSwitch(desktop, {"A", "B"}, +1);
    EXPECT_FALSE(desktop.desktopMode);
}
