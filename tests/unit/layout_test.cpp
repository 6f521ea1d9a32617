// Grid geometry, the label band, navigation, splitter clamps and label breaking.
#include <gtest/gtest.h>

#include "ui/layout.h"
#include "ui/widgets/scrollbar.h"

using namespace ludexa;

TEST(Layout, LabelBandHeight) {
    EXPECT_EQ(getTextAreaH(0, 14), 35);
    EXPECT_EQ(getTextAreaH(1, 14), 39);
    EXPECT_EQ(getTextAreaH(4, 14), 51);
    EXPECT_EQ(getTextAreaH(5, 40), 75);   // size clamped to 32
    EXPECT_EQ(getTextAreaH(-1, 14), 55);  // any other level counts as +8
    EXPECT_EQ(labelCharSize(0, 8), 8);    // clamped up to 8
}

TEST(Layout, GridGeometryAtDefaults) {
    // 1200-wide window, 350-wide left column, icon level 1 (72 px).
    const auto g = gridGeometry(1200, 350, 44, 1, 14);
    EXPECT_EQ(g.left, 354);
    EXPECT_EQ(g.top, 48);
    const float usable = 1200 - 354 - 10;
    EXPECT_EQ(g.columns, static_cast<int>(usable / 87));
    EXPECT_FLOAT_EQ(g.gap, (usable - g.columns * 72.0f) / (g.columns + 1));
    EXPECT_FLOAT_EQ(g.cellX(0), 354 + g.gap);
    EXPECT_FLOAT_EQ(g.cellX(1), 354 + g.gap * 2 + 72);
    EXPECT_FLOAT_EQ(g.cellY(g.columns, 0), 48 + 15 + 72 + 39 + 10);
    EXPECT_FLOAT_EQ(g.contentHeight(g.columns + 1), 2 * (72 + 39 + 10) + 20);
    EXPECT_FLOAT_EQ(g.contentHeight(0), 20);
}

TEST(Layout, NarrowGridKeepsOneColumnWithNegativeGap) {
    const auto g = gridGeometry(500, 396, 44, 5, 14);  // 256-pixel icons, 90 usable pixels
    EXPECT_EQ(g.columns, 1);
    EXPECT_LT(g.gap, 0);
}

TEST(Layout, HitTestIncludesEdgesAndScroll) {
    const auto g = gridGeometry(1200, 350, 44, 1, 14);
    const float x = g.cellX(1), y = g.cellY(1, 0);
    EXPECT_EQ(g.hitTest(x, y, 0, 10), 1);
    EXPECT_EQ(g.hitTest(x + 72, y + 72 + 39, 0, 10), 1);  // bottom-right corner
    EXPECT_EQ(g.hitTest(x - 1, y, 0, 10), -1);           // in the gap
    EXPECT_EQ(g.hitTest(x, y, 0, 1), -1);                // beyond the list
    EXPECT_EQ(g.hitTest(g.cellX(0), g.cellY(g.columns, 100), 100, 100), g.columns);
    EXPECT_EQ(g.hitTest(x, g.top + 2, 0, 10), -1);        // above the first row
}

TEST(Layout, ArrowNavigation) {
    // 4 columns, 10 items.
    EXPECT_EQ(navigatePosition(0, NavKey::Left, 4, 10), -1);
    EXPECT_EQ(navigatePosition(5, NavKey::Left, 4, 10), 4);
    EXPECT_EQ(navigatePosition(9, NavKey::Right, 4, 10), -1);
    EXPECT_EQ(navigatePosition(3, NavKey::Up, 4, 10), -1);
    EXPECT_EQ(navigatePosition(5, NavKey::Up, 4, 10), 1);
    EXPECT_EQ(navigatePosition(5, NavKey::Down, 4, 10), 9);
    EXPECT_EQ(navigatePosition(6, NavKey::Down, 4, 10), -1);
    // The selection is not in the list: navigation starts from position 0.
    EXPECT_EQ(navigatePosition(-1, NavKey::Right, 4, 10), 1);
    EXPECT_EQ(navigatePosition(-1, NavKey::Down, 4, 10), 4);
    EXPECT_EQ(navigatePosition(-1, NavKey::Left, 4, 10), -1);
    EXPECT_EQ(navigatePosition(-1, NavKey::Up, 4, 10), -1);
}

TEST(Layout, KeyboardScrollKeepsTheRowVisible) {
    const auto g = gridGeometry(1200, 350, 44, 1, 14);  // row height 121
    const float gridHeight = 300;
    EXPECT_EQ(scrollToShowKeyboard(g, 0, gridHeight, 50), 15);                  // row above: scroll to it
    const int fourthRow = 3 * g.columns;
    const float rowTop = 3 * 121 + 15;
    EXPECT_FLOAT_EQ(scrollToShowKeyboard(g, fourthRow, gridHeight, 0), rowTop + 72 + 39 - gridHeight + 20);
    EXPECT_EQ(scrollToShowKeyboard(g, g.columns, gridHeight, 0), 0);            // already visible
}

TEST(Layout, SplitterClampsLowerBoundWins) {
    EXPECT_EQ(clampToolbarHeight(10, 800), 30);
    EXPECT_FLOAT_EQ(clampToolbarHeight(500, 800), 240);
    EXPECT_EQ(clampToolbarHeight(100, 50), 30);  // bounds cross
    EXPECT_EQ(clampLeftPanelWidth(5000, 1200), 1096);
    EXPECT_EQ(clampLeftPanelWidth(20, 1200), 100);
    EXPECT_EQ(clampLeftPanelWidth(150, 150), 100);
    EXPECT_EQ(clampPictureHeight(900, 800, 48), 648);
    EXPECT_EQ(clampPictureHeight(50, 800, 48), 100);
}

TEST(Layout, LabelBreakingEndsInEllipsis) {
    // Every character is 10 pixels wide, "..." 12.
    auto measure = [](const std::string& s) {
        float w = 0;
        for (std::size_t i = 0; i < s.size();) {
            if (s.compare(i, 3, "...") == 0) {
                w += 12;
                i += 3;
                continue;
            }
            const auto c = static_cast<unsigned char>(s[i]);
            i += c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
            w += 10;
        }
        return w;
    };
    EXPECT_EQ(breakLabel("abc", 50, measure), (std::vector<std::string>{"abc"}));
    EXPECT_EQ(breakLabel("abcdefgh", 50, measure), (std::vector<std::string>{"abcde", "fgh"}));
    EXPECT_EQ(breakLabel("abcdefghij", 50, measure), (std::vector<std::string>{"abcde", "fghij"}));
    EXPECT_EQ(breakLabel("abcdefghijk", 50, measure), (std::vector<std::string>{"abcde", "fgh..."}));
    EXPECT_EQ(breakLabel("中国人民共和国万岁万万岁", 50, measure),
              (std::vector<std::string>{"中国人民共", "和国万..."}));
    // A label too narrow for one character still takes one per line.
    EXPECT_EQ(breakLabel("ab", 5, measure), (std::vector<std::string>{"a", "b"}));
    EXPECT_TRUE(breakLabel("", 50, measure).empty());
}

TEST(ScrollThumb, LongLibrariesKeepAThumbThatCanBeGrabbed) {
    // 100,000 games in 8 columns: a proportional thumb would be 0.4 px.
    const float track = 700, content = 12500.0f * 135 + 20;
    const ScrollThumb top = scrollThumb(track, content, 0);
    EXPECT_FLOAT_EQ(top.length, kMinThumbLength);
    EXPECT_FLOAT_EQ(top.offset, 0);
    const ScrollThumb bottom = scrollThumb(track, content, content - track);
    EXPECT_FLOAT_EQ(bottom.offset + bottom.length, track);  // the end of the list at the end of the track
    EXPECT_FLOAT_EQ(scrollThumb(track, content, 1e12f).offset, bottom.offset);
    // Short content keeps the proportional thumb; a track shorter than the
    // minimum is filled.
    EXPECT_FLOAT_EQ(scrollThumb(700, 1400, 0).length, 350);
    EXPECT_FLOAT_EQ(scrollThumb(12, 5000, 0).length, 12);
    // Dragging the thumb over the whole free track covers the whole list.
    EXPECT_FLOAT_EQ(scrollAfterThumbDrag(track, content, 0, track - kMinThumbLength), content - track);
    EXPECT_FLOAT_EQ(scrollAfterThumbDrag(track, content, 0, -50), 0);
    EXPECT_FLOAT_EQ(scrollAfterThumbDrag(track, 500, 0, 100), 0);  // nothing to scroll
}
