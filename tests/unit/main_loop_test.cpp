// The main loop's rules: the grid fling, auto-sleep and what wakes the launcher.
#include <gtest/gtest.h>

#include "app/main_loop.h"

using namespace ludexa;

TEST(Fling, DeceleratesAndStops) {
    FlingState f{500, 1000, true};
    flingStep(f, 2000, 50);
    EXPECT_FLOAT_EQ(f.offset, 480);     // 1000 px/s over one 50th of a second
    EXPECT_FLOAT_EQ(f.velocity, 960);   // 2000 px/s² over one frame
    EXPECT_TRUE(f.active);
    int frames = 0;
    while (f.active && frames < 1000) flingStep(f, 2000, 50), ++frames;
    EXPECT_FALSE(f.active);
    EXPECT_EQ(f.velocity, 0);
    EXPECT_LT(frames, 60);
}

// At either end the fling stops at once; a frame rate of 0 counts as 30.
TEST(Fling, StopsAtEitherEndAndZeroFramerateCountsAsThirty) {
    const struct { FlingState start; int framerate; float offset; bool active; } cases[] = {
        {{5, 600, true}, 30, 0, false},
        {{995, -600, true}, 30, 1000, false},
        {{300, 300, true}, 0, 290, true},
    };
    for (auto c : cases) {
        flingStep(c.start, 1000, c.framerate);
        EXPECT_FLOAT_EQ(c.start.offset, c.offset) << c.offset;
        EXPECT_EQ(c.start.active, c.active) << c.offset;
    }
}

TEST(Sleep, AutoSleepNeedsBothSwitchesAndAMinute) {
    EXPECT_TRUE(autoSleepDue(true, true, 60.0f));
    EXPECT_FALSE(autoSleepDue(true, true, 59.9f));
    EXPECT_FALSE(autoSleepDue(false, true, 600.0f));
    EXPECT_FALSE(autoSleepDue(true, false, 600.0f));
}

TEST(Sleep, ModifierKeysDoNotWake) {
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
