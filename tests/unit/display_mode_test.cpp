// The display-mode cycle and the rectangles it is made of.
#include <gtest/gtest.h>

#include "app/display_mode.h"

using namespace ludexa;

TEST(DisplayMode, ThreeStepsComeBackToTheSavedWindow) {
    const ScreenRect monitor{1920, 0, 2560, 1440};
    const ScreenRect workArea{1920, 0, 2560, 1400};
    const WindowState start{{2000, 100, 1200, 800}, true, true};

    const auto one = nextDisplayMode(0, start, {}, monitor, workArea);
    EXPECT_EQ(one.mode, 1);
    EXPECT_TRUE(one.saveCurrent);
    EXPECT_EQ(one.target.rect, workArea);
    EXPECT_FALSE(one.target.framed);
    const WindowState saved = unpackWindowState(2000, 100, 3200, 900, packWindowStyle(start));

    const auto two = nextDisplayMode(1, {workArea, false, false}, saved, monitor, workArea);
    EXPECT_EQ(two.mode, 2);
    EXPECT_FALSE(two.saveCurrent);
    EXPECT_TRUE(two.fullscreenState);
    EXPECT_EQ(two.target.rect, monitor);
    EXPECT_FALSE(two.target.framed);

    const auto back = nextDisplayMode(2, {monitor, false, false}, saved, monitor, workArea);
    EXPECT_EQ(back.mode, 0);
    EXPECT_EQ(back.target.rect, start.rect);
    EXPECT_TRUE(back.target.framed);
    EXPECT_TRUE(back.target.maximized);
    const WindowState bare = unpackWindowState(0, 0, 800, 600, packWindowStyle({{}, false, true}));
    EXPECT_FALSE(bare.framed);
    EXPECT_TRUE(bare.maximized);

    // Mode 2 with nothing saved gives the frame back where the window is.
    const auto unsaved = nextDisplayMode(2, {{0, 0, 1280, 800}, false, false}, {}, {0, 0, 1280, 800}, {});
    EXPECT_EQ(unsaved.mode, 0);
    EXPECT_TRUE(unsaved.target.framed);
    EXPECT_FALSE(unsaved.target.maximized);
    EXPECT_EQ(unsaved.target.rect, (ScreenRect{0, 0, 1280, 800}));
}

TEST(DisplayMode, MonitorAndWorkArea) {
    const std::vector<ScreenRect> monitors{{0, 0, 1920, 1080}, {1920, 0, 2560, 1440}};
    EXPECT_EQ(pickMonitor(monitors, {100, 100, 800, 600}), 0);
    EXPECT_EQ(pickMonitor(monitors, {1800, 100, 800, 600}), 1);    // mostly on the second
    EXPECT_EQ(pickMonitor(monitors, {-3000, 200, 500, 400}), 0);   // off every monitor: the nearest
    EXPECT_EQ(pickMonitor(monitors, {5000, 200, 500, 400}), 1);
    EXPECT_EQ(pickMonitor({}, {0, 0, 10, 10}), -1);

    // _NET_WORKAREA spans all monitors; each monitor keeps its own part.
    const ScreenRect desktop{0, 0, 4480, 1400};
    EXPECT_EQ(workAreaOnMonitor(desktop, monitors[1]), (ScreenRect{1920, 0, 2560, 1400}));
    EXPECT_EQ(workAreaOnMonitor(desktop, monitors[0]), (ScreenRect{0, 0, 1920, 1080}));
    EXPECT_EQ(workAreaOnMonitor({}, monitors[1]), monitors[1]);
    EXPECT_EQ(intersectRects({0, 0, 10, 10}, {10, 0, 5, 5}), ScreenRect{});
}

TEST(DisplayMode, RestoredGeometryOfAMaximisedWindow) {
    const ScreenRect maximized{0, 0, 1280, 776};
    // The window manager may report the new size before or after the state.
    EXPECT_EQ(restoredGeometry({{40, 50, 1200, 700}, {0, 24, 1280, 776}, {0, 0, 1280, 776}}, maximized),
              (ScreenRect{40, 50, 1200, 700}));
    EXPECT_EQ(restoredGeometry({{40, 50, 1200, 700}, {60, 70, 1200, 700}}, maximized), (ScreenRect{60, 70, 1200, 700}));
    EXPECT_EQ(restoredGeometry({}, maximized), maximized);
}

TEST(DisplayMode, FirstStartIsWhollyOnTheWorkArea) {
    // A bare 1024 x 768 X server: the 1200 x 800 default shrinks to fit.
    EXPECT_EQ(firstStartRect({0, 0, 1024, 768}, {-88, -16, 1200, 800}), (ScreenRect{0, 0, 1024, 768}));
    // Below a panel of a second monitor: centred on what the panel leaves.
    EXPECT_EQ(firstStartRect({1920, 30, 1920, 1050}, {1320, 0, 1200, 800}), (ScreenRect{2280, 155, 1200, 800}));
    // Already wholly inside: left where it is.
    EXPECT_EQ(firstStartRect({0, 0, 1280, 800}, {40, 0, 1200, 800}), (ScreenRect{40, 0, 1200, 800}));
    EXPECT_EQ(firstStartRect({}, {5, 5, 1200, 800}), (ScreenRect{5, 5, 1200, 800}));
}
