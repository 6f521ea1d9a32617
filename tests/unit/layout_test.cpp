// Grid geometry, the label band, navigation, label breaking, the controls'
// rectangles and the mouse drags.
#include <gtest/gtest.h>

#include "ui/drag.h"
#include "ui/layout.h"
#include "ui/widgets/scrollbar.h"

using namespace ludexa;

TEST(Layout, GridGeometryAndHitTestAtDefaults) {
    EXPECT_EQ(getTextAreaH(5, 40), 75);   // size clamped to 32
    EXPECT_EQ(getTextAreaH(-1, 14), 55);  // any other level counts as +8
    EXPECT_EQ(labelCharSize(0, 8), 8);    // clamped up to 8

    // 1200-wide window, 350-wide left column, icon level 1 (72 px): 836
    // usable pixels hold 9 columns with gaps of 18.8.
    const auto g = gridGeometry(1200, 350, 44, 1, 14);
    EXPECT_EQ(g.columns, 9);
    EXPECT_FLOAT_EQ(g.cellX(0), 372.8f);
    EXPECT_FLOAT_EQ(g.cellX(10), 463.6f);
    EXPECT_FLOAT_EQ(g.cellY(9, 0), 184);
    EXPECT_FLOAT_EQ(g.contentHeight(10), 262);
    EXPECT_FLOAT_EQ(g.contentHeight(0), 20);

    const float x = g.cellX(1), y = g.cellY(1, 0);
    EXPECT_EQ(g.hitTest(x, y, 0, 10), 1);
    EXPECT_EQ(g.hitTest(x + 72, y + 72 + 39, 0, 10), 1);  // bottom-right corner
    EXPECT_EQ(g.hitTest(x - 1, y, 0, 10), -1);           // in the gap
    EXPECT_EQ(g.hitTest(x, y, 0, 1), -1);                // beyond the list
    EXPECT_EQ(g.hitTest(g.cellX(0), g.cellY(g.columns, 100), 100, 100), g.columns);
    EXPECT_EQ(g.hitTest(x, g.top + 2, 0, 10), -1);        // above the first row

    // Rows are 121 high.
    EXPECT_EQ(scrollToShowKeyboard(g, 0, 300, 50), 15);    // row above: scroll to it
    EXPECT_EQ(scrollToShowKeyboard(g, 27, 300, 0), 209);   // the fourth row's bottom 20 above the edge
    EXPECT_EQ(scrollToShowKeyboard(g, 9, 300, 0), 0);      // already visible

    const auto narrow = gridGeometry(500, 396, 44, 5, 14);  // 256-pixel icons, 90 usable pixels
    EXPECT_EQ(narrow.columns, 1);
    EXPECT_LT(narrow.gap, 0);
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
}

// The window of the default settings: 1200 × 800, toolbar 44, left column 350, picture 400.
const Panels kPanels{1200, 800, 44, 350, 400};

struct Hit {
    float x, y;
    int expected;
};

TEST(Controls, ButtonsHitWithTheirEdgesAndGapsMiss) {
    for (const Hit h : {Hit{10, 7, 0}, {48, 37, 0}, {49, 20, -1}, {53, 20, 1}, {158, 22, 3}, {248, 37, 4},
                        {250, 20, -1}, {253, 20, 5}, {390, 37, 6}, {391, 20, -1}, {20, 6.5f, -1}, {20, 37.5f, -1}})
        EXPECT_EQ(toolbarButtonAt(h.x, h.y).value_or(ToolbarButton(-1)), ToolbarButton(h.expected)) << h.x << "," << h.y;
    for (int b = 0; b < kToolbarButtonCount; ++b) {  // each is clicked where it is drawn
        const UiRect r = toolbarButtonRect(static_cast<ToolbarButton>(b));
        EXPECT_EQ(toolbarButtonAt(r.centreX(), r.centreY()), ToolbarButton(b));
    }
    // Title buttons: 1 display mode, 2 minimise, 3 close; the last two only without a frame.
    for (const Hit h : {Hit{1087, 8, 1}, {1121, 34, 1}, {1086, 20, 0}, {1100, 7, 0}, {1132, 4, 2}, {1163, 20, 0},
                        {1196, 30, 3}, {1197, 20, 0}}) {
        EXPECT_EQ(static_cast<int>(titleButtonAt(h.x, h.y, 1200, true)), h.expected) << h.x << "," << h.y;
        EXPECT_EQ(static_cast<int>(titleButtonAt(h.x, h.y, 1200, false)), h.expected == 1) << h.x << "," << h.y;
    }
    // The picture's arrows: discs 50 in from either edge, halfway down the picture (y 248).
    for (const Hit h : {Hit{20, 248, 1}, {19, 248, 0}, {72, 270, 0}, {300, 218, 2}, {330, 248, 2}, {175, 248, 0}})
        EXPECT_EQ(pictureArrow(kPanels, false).contains(h.x, h.y) + 2 * pictureArrow(kPanels, true).contains(h.x, h.y),
                  h.expected) << h.x << "," << h.y;
}

TEST(Drags, SplittersAreGrabbedNearTheirMiddleAndClampedAsTheyMove) {
    // 0 none, 1 the toolbar's, 2 the left column's, 3 the picture's.
    for (const Hit h : {Hit{600, 37, 1}, {600, 36, 0}, {1200, 46, 0}, {343, 500, 2}, {361, 500, 2}, {362, 500, 0},
                        {200, 450, 3}, {200, 460, 0}, {350, 450, 2}, {345, 55, 1}, {600, 56, 0}})
        EXPECT_EQ(static_cast<int>(splitterAt(kPanels, h.x, h.y)), h.expected) << h.x << "," << h.y;
    struct Case {
        Splitter splitter;
        float windowHeight, delta, size;
    };
    for (const Case c : {Case{Splitter::Toolbar, 800, 20, 64}, {Splitter::Toolbar, 800, -100, 30},
                         {Splitter::Toolbar, 800, 1000, 240}, {Splitter::Toolbar, 50, 0, 30},  // bounds cross
                         {Splitter::Panel, 800, 100, 450}, {Splitter::Panel, 800, 5000, 1096},
                         {Splitter::Panel, 800, -1000, 100}, {Splitter::Text, 800, 1000, 648},
                         {Splitter::Text, 800, -1000, 100}}) {
        Panels p = kPanels;
        p.windowHeight = c.windowHeight;
        EXPECT_FLOAT_EQ(splitterAfterDrag(p, c.splitter, splitterSize(p, c.splitter), c.delta), c.size)
            << static_cast<int>(c.splitter) << " " << c.delta;
    }
    EXPECT_TRUE(gridTakesPress(kPanels, 355, 49));
    EXPECT_FALSE(gridTakesPress(kPanels, 1190, 49));  // the scrollbar's margin
}

TEST(Drags, GridThumbDragScrollingAndFling) {
    // 2000 pixels of rows on a 752-pixel track: the thumb is 282.752 long.
    const UiRect thumb = gridScrollThumb(kPanels, 2000, 0);
    EXPECT_FLOAT_EQ(thumb.h, 282.752f);
    EXPECT_TRUE(onGridScrollThumb(kPanels, 2000, 0, 1192, 49));
    EXPECT_FALSE(onGridScrollThumb(kPanels, 2000, 0, 1191, 100));
    EXPECT_FALSE(onGridScrollThumb(kPanels, 2000, 0, 1195, thumb.y + thumb.h + 1));
    EXPECT_TRUE(onGridScrollThumb(kPanels, 2000, 1248, 1195, 790));  // at the bottom once scrolled to the end

    EXPECT_FALSE(gridPressBecomesDrag(18, 23));  // a press that wobbles is still a click
    EXPECT_TRUE(gridPressBecomesDrag(-18, 24));
    for (const auto& [dy, scroll] : {std::pair{30.0f, 70.0f}, {-450.0f, 500.0f}, {200.0f, 0.0f}})
        EXPECT_EQ(gridDragScroll(100, dy, 500), scroll);  // the rows follow the pointer
    EXPECT_EQ(gridDragScroll(100, -50, -1), 0);
    EXPECT_EQ(flingVelocity(7, -10, 20), -1000);
    EXPECT_EQ(flingVelocity(7, 10, 0), 7);  // two moves in one millisecond
    EXPECT_FALSE(flingStarts(-50));
    EXPECT_TRUE(flingStarts(50.5f));
}

TEST(Layout, LabelBreakingEndsInEllipsis) {
    // Every character is 10 pixels wide, "..." 12.
    auto measure = [](std::string s) {
        float w = 0;
        for (std::size_t at; (at = s.find("...")) != std::string::npos; w += 12) s.erase(at, 3);
        for (unsigned char c : s) w += (c & 0xC0) != 0x80 ? 10 : 0;  // UTF-8 continuation bytes add nothing
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
