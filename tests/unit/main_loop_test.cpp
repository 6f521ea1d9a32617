// The main loop's rules: the grid fling, auto-sleep and what wakes the launcher.
#include <gtest/gtest.h>

#include "app/main_loop.h"

using namespace ludexa;

// A fling slows down and stops; at either end it stops at once; a frame rate of 0 counts as 30.
TEST(Fling, DeceleratesAndStops) {
    const struct { FlingState start; float maxScroll; int framerate; float offset, velocity; bool active; } cases[] = {
        {{500, 1000, true}, 2000, 50, 480, 960, true},  // slowed by 2000 px/s² over one frame
        {{5, 600, true}, 1000, 30, 0, 0, false},
        {{995, -600, true}, 1000, 30, 1000, 0, false},
        {{300, 300, true}, 1000, 0, 290, 233.33333f, true},
        {{500, 50, true}, 1000, 30, 498.33334f, 0, false},  // slower than one frame's slowing: stops, never turns back
    };
    for (auto c : cases) {
        flingStep(c.start, c.maxScroll, c.framerate);
        EXPECT_FLOAT_EQ(c.start.offset, c.offset) << c.offset;
        EXPECT_FLOAT_EQ(c.start.velocity, c.velocity) << c.offset;
        EXPECT_EQ(c.start.active, c.active) << c.offset;
    }
    FlingState f{500, 1000, true};
    int frames = 0;
    while (f.active && frames < 1000) flingStep(f, 2000, 50), ++frames;
    EXPECT_EQ(f.velocity, 0);
    EXPECT_LT(frames, 60);
}

// Auto-sleep needs both switches and a minute; a modifier key does not wake.
TEST(Sleep, AutoSleepNeedsBothSwitchesAndAMinute) {
    EXPECT_TRUE(autoSleepDue(true, true, 60.0f));
    EXPECT_FALSE(autoSleepDue(true, true, 59.9f));
    EXPECT_FALSE(autoSleepDue(false, true, 600.0f));
    EXPECT_FALSE(autoSleepDue(true, false, 600.0f));
    EXPECT_TRUE(isModifierKey(sf::Keyboard::RSystem));
    EXPECT_FALSE(isModifierKey(sf::Keyboard::Escape));
}

TEST(Sleep, ButtonHeldWhenSleepBeganWakesOnlyAfterARelease) {
    ScriptedJoysticks pad;
    pad.pads[1].connected = true;
    pad.pads[1].buttons = 12;
    pad.pads[1].pressed[0] = true;  // A is held as the launcher falls asleep
    const std::vector<int> ids{1};
    JoystickSnapshot snapshot{};
    takeJoystickSnapshot(pad, ids, snapshot);

    EXPECT_FALSE(joystickWakes(pad, ids, snapshot));  // still held
    pad.pads[1].pressed[0] = false;
    EXPECT_FALSE(joystickWakes(pad, ids, snapshot));  // released: re-armed
    pad.pads[1].pressed[0] = true;
    EXPECT_TRUE(joystickWakes(pad, ids, snapshot));   // pressed again
    EXPECT_FALSE(joystickWakes(pad, ids, snapshot));  // held: wakes at most once
    pad.pads[1].pressed[15] = true;
    EXPECT_TRUE(joystickWakes(pad, ids, snapshot));
}

TEST(Sleep, OnlyListedJoysticksAreRead) {
    ScriptedJoysticks pad;
    pad.pads[0].connected = true;
    pad.pads[0].buttons = 10;
    pad.pads[3].connected = true;  // no buttons: not a usable gamepad
    EXPECT_EQ(connectedJoystickIds(pad), std::vector<int>{0});
    JoystickSnapshot snapshot{};
    pad.pads[2].pressed[1] = true;
    EXPECT_FALSE(joystickWakes(pad, {0}, snapshot));
}
