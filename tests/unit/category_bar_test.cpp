// The category tag bar: rows at several window widths, hit testing, clicks and
// the quick-switch cycle.
#include <gtest/gtest.h>

#include "ui/category_bar.h"

using namespace ludexa;

namespace {

// Every character 10 pixels wide, whatever the size.
float tenPerChar(const std::wstring& s, unsigned) { return 10.0f * static_cast<float>(s.size()); }

}  // namespace

TEST(CategoryBar, NoCategoriesMeansOneRowAndNoExpandButton) {
    const auto layout = layoutCategoryBar(1200, {}, 14, tenPerChar);
    EXPECT_EQ(layout.fixedWidth, 3 * 40 + 10);
    EXPECT_TRUE(layout.rows.empty());
    EXPECT_FALSE(layout.hasExpandButton());
    EXPECT_EQ(layout.targetToolbarHeight(true), 44);
    // A = 1200 - 1067 = 133; the fixed tags alone are centred in it, never left of 590.
    EXPECT_EQ(layout.startX, std::max(590.0f, 590 + (133 - (130 + 45 + 13)) / 2.0f));
}

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

TEST(CategoryBar, RowsWrapAtTheLimit) {
    // 1600 wide: A = 533, limit = 533 - 175 - 13 = 345.
    const std::vector<std::string> names = {"动作", "角色扮演", "策略", "休闲", "独立", "射击", "竞速游戏", "模拟"};
    const auto layout = layoutCategoryBar(1600, names, 14, tenPerChar);
    EXPECT_EQ(layout.rowLimit, 345);
    // Widths 40, 60, 40, 40, 40, 40, 60, 40: six fit in 285; the seventh would need 350.
    ASSERT_EQ(layout.rows.size(), 2u);
    EXPECT_EQ(layout.rows[0].tags, (std::vector<int>{0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(layout.rows[0].width, 285);
    EXPECT_EQ(layout.rows[1].tags, (std::vector<int>{6, 7}));
    EXPECT_TRUE(layout.hasExpandButton());
    EXPECT_EQ(layout.targetToolbarHeight(false), 44);
    EXPECT_EQ(layout.targetToolbarHeight(true), 78);
    EXPECT_EQ(layout.rowOf(7), 1);
    EXPECT_EQ(layout.rowOf(9), -1);
    EXPECT_EQ(layout.startX, 590 + (533 - (130 + 45 + 13 + 285)) / 2.0f);  // the first line is centred
}

TEST(CategoryBar, NarrowWindowsGiveEveryCategoryItsOwnRow) {
    const auto layout = layoutCategoryBar(1000, {"a", "b", "a category wider than any row"}, 14, tenPerChar);
    EXPECT_EQ(layout.rowLimit, 0);
    ASSERT_EQ(layout.rows.size(), 3u);
    EXPECT_EQ(layout.rows[2].tags, std::vector<int>{2});
    // The first line moves left to end before the search box at 1000 - 245.
    EXPECT_LT(layout.startX, 590);
    EXPECT_LE(layout.expandButtonX() + 28, 1000 - 245);
    // The expand button moves right of the first line rather than over it.
    EXPECT_GE(layout.expandButtonX(), layout.categoryRowX() + layout.rows[0].width + kTagGap);
}

TEST(CategoryBar, TheSearchBoxIsNeverCovered) {
    const std::vector<std::string> names = {"动作", "角色扮演", "一个很长很长很长的分类名字"};
    for (float w : {700.0f, 900.0f, 1200.0f, 1600.0f}) {
        const auto layout = layoutCategoryBar(w, names, 14, tenPerChar);
        const float searchLeft = w - 245;
        EXPECT_LT(layout.rightLimit, searchLeft) << w;
        EXPECT_GE(layout.startX, 400) << w;  // never over the toolbar buttons
        if (w >= 900) EXPECT_LE(layout.multiSelectX() + 40, layout.rightLimit) << w;  // the fixed tags fit
        // The search box and the display-mode button right of it take no tag clicks.
        for (float x = searchLeft; x < w; x += 7)
            for (float y : {10.0f, 20.0f, 30.0f}) EXPECT_EQ(layout.hitTest(x, y, true), kNoTag) << w << " " << x;
    }
}

TEST(CategoryBar, HitTestingOrderAndShownRows) {
    const std::vector<std::string> names = {"动作", "角色扮演", "策略", "休闲", "独立", "射击", "竞速游戏", "模拟"};
    const auto layout = layoutCategoryBar(1600, names, 14, tenPerChar);
    const float x0 = layout.startX;
    EXPECT_EQ(layout.hitTest(x0 + 1, 10, false), kTagAll);
    EXPECT_EQ(layout.hitTest(x0 + 45 + 1, 10, false), kTagFavorites);
    EXPECT_EQ(layout.hitTest(x0 + 90 + 1, 34, false), kTagDesktop);
    EXPECT_EQ(layout.hitTest(layout.multiSelectX() + 20, 20, false), kTagMultiSelect);
    EXPECT_EQ(layout.hitTest(layout.expandButtonX() + 5, 20, false), kTagExpand);
    EXPECT_EQ(layout.hitTest(layout.categoryRowX() + 1, 20, false), 0);
    // The second row is only there while expanded.
    EXPECT_EQ(layout.hitTest(layout.categoryRowX() + 1, 8 + 34 + 5, false), kNoTag);
    EXPECT_EQ(layout.hitTest(layout.categoryRowX() + 1, 8 + 34 + 5, true), 6);
    EXPECT_EQ(layout.hitTest(400, 20, true), kNoTag);
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
    const std::vector<std::string> names = {"A", "B"};
    CategoryState s;
    s.multiSelectMode = true;
    quickSwitch(s, names, +1);
    EXPECT_EQ(s.categoryMode, 1);  // 全部 → 收藏
    EXPECT_FALSE(s.multiSelectMode);
    quickSwitch(s, names, +1);
    EXPECT_EQ(s.selectedCategories, std::set<std::string>{"A"});
    EXPECT_EQ(s.categoryMode, 0);
    quickSwitch(s, names, +1);
    EXPECT_EQ(s.selectedCategories, std::set<std::string>{"B"});
    quickSwitch(s, names, +1);  // the last wraps to 全部
    EXPECT_TRUE(s.selectedCategories.empty());
    EXPECT_EQ(s.categoryMode, 0);

    quickSwitch(s, names, -1);  // 全部 → the last category
    EXPECT_EQ(s.selectedCategories, std::set<std::string>{"B"});
    quickSwitch(s, names, -1);
    quickSwitch(s, names, -1);  // category 0 → 收藏
    EXPECT_EQ(s.categoryMode, 1);
    quickSwitch(s, names, -1);
    EXPECT_EQ(s.categoryMode, 0);

    CategoryState none;
    quickSwitch(none, {}, -1);  // no categories: 全部 → 收藏
    EXPECT_EQ(none.categoryMode, 1);
    quickSwitch(none, {}, +1);  // 收藏 → 全部
    EXPECT_EQ(none.categoryMode, 0);

    CategoryState desktop{-1, {}, true, false};
    quickSwitch(desktop, names, +1);
    EXPECT_FALSE(desktop.desktopMode);
}
