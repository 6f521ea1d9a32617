// The frame schedule: which reasons need a frame, which deadline comes next,
// and how long an idle launcher may sleep.
#include <gtest/gtest.h>

#include "app/frame_schedule.h"
#include "app/idle_wait.h"
#include "media/gif/gif_animation.h"
#include "ui/gamepad.h"

using namespace ludexa;

namespace {

sf::Time ms(int n) { return sf::milliseconds(n); }
std::uint32_t bit(FrameReason r) { return 1u << static_cast<unsigned>(r); }

}  // namespace

TEST(FrameSchedule, RequestsAreDueAtOnceDeadlinesWaitTheirTurn) {
    FrameSchedule s;
    EXPECT_EQ(s.wait(ms(1000), ms(33)), ms(33));  // nothing asked: a whole poll
    s.requestAt(FrameReason::CaretBlink, ms(700));
    s.requestAt(FrameReason::CaretBlink, ms(500));  // named again: the sooner moment holds,
    s.requestAt(FrameReason::CaretBlink, ms(700));  // and a later one never postpones it
    s.requestAt(FrameReason::GifFrame, ms(100));
    s.request(FrameReason::Input);
    s.request(FrameReason::IconArrived);
    EXPECT_EQ(s.dueReasons(ms(0)), bit(FrameReason::Input) | bit(FrameReason::IconArrived));
    EXPECT_EQ(s.wait(ms(0), ms(33)), sf::Time::Zero);
    s.drawn(ms(0));  // a frame drawn for input keeps the later deadlines
    EXPECT_FALSE(s.due(ms(99)));
    EXPECT_EQ(s.nextDeadline(), ms(100));
    EXPECT_EQ(s.wait(ms(90), ms(33)), ms(10));  // sleeps to the deadline, not a whole poll
    EXPECT_EQ(s.wait(ms(0), ms(33)), ms(33));   // never longer than one poll
    EXPECT_EQ(s.dueReasons(ms(100)), bit(FrameReason::GifFrame));
    EXPECT_EQ(s.dueReasons(ms(600)), bit(FrameReason::GifFrame) | bit(FrameReason::CaretBlink));
    s.drawn(ms(600));
    EXPECT_FALSE(s.due(ms(5000)));
    EXPECT_FALSE(s.nextDeadline());
}

TEST(FrameSchedule, PollFollowsTheFrameRateCapWithAFloor) {
    EXPECT_EQ(pollInterval(30), sf::microseconds(33333));
    EXPECT_EQ(pollInterval(0), sf::microseconds(33333));  // an unset cap counts as 30
    EXPECT_EQ(pollInterval(500), ms(kShortestPollMs));
    EXPECT_EQ(timeLeft(ms(500), ms(120)), ms(380));
    EXPECT_EQ(timeLeft(ms(500), ms(900)), sf::Time::Zero);
}

TEST(FrameSchedule, GifStepsComeWhenTheirDelayRunsOut) {
    // No stream: nothing can step by itself, however long it waits.
    EXPECT_FALSE(gifMicrosUntilDue(true, false, false, 0, 100));
    // Without a frame yet the step is due at once.
    EXPECT_EQ(gifMicrosUntilDue(true, true, false, 0, 100), 0);
    // A still GIF that shows its frame never asks again.
    EXPECT_FALSE(gifMicrosUntilDue(false, true, true, 5000000, 100));
    EXPECT_EQ(gifMicrosUntilDue(true, true, true, 40000, 100), 60000);
    EXPECT_EQ(gifMicrosUntilDue(true, true, true, 250000, 100), 0);
    // The deadline agrees with the playback rule's whole milliseconds.
    EXPECT_EQ(gifMicrosUntilDue(true, true, true, 99999, 100), 1);
    EXPECT_FALSE(gifFrameDue(true, true, true, 99999 / 1000, 100));
    EXPECT_TRUE(gifFrameDue(true, true, true, 100000 / 1000, 100));
}

TEST(GamepadView, OnlyShownChangesAskForAFrame) {
    const GamepadState before;
    GamepadState held = before, moved = before, hiddenKeys = before;
    held.latches[kPadA] = true;  // a held button, already used: nothing new to show
    moved.focusIndex = 3;
    hiddenKeys.keyRow = before.keyRow + 1;  // the key cursor of a hidden soft keyboard
    GamepadActions repeat, scrolled;
    repeat.restartRepeatClock = true;
    scrolled.textScrolled = true;
    EXPECT_FALSE(gamepadChangesView(before, held, repeat));
    EXPECT_FALSE(gamepadChangesView(before, hiddenKeys, GamepadActions{}));
    EXPECT_TRUE(gamepadChangesView(before, moved, GamepadActions{}));
    EXPECT_TRUE(gamepadChangesView(before, before, scrolled));
}

// Only a frame due for the GIF alone may reuse the rest of the last frame.
TEST(FrameSchedule, OnlyAGifStepAloneRedrawsThePictureOnly) {
    EXPECT_TRUE(onlyGifAdvanced(bit(FrameReason::GifFrame)));
    EXPECT_FALSE(onlyGifAdvanced(bit(FrameReason::GifFrame) | bit(FrameReason::CaretBlink)));
    EXPECT_FALSE(onlyGifAdvanced(0));
}

// An untouched launcher sleeps without a limit; what is scheduled or cannot
// announce itself bounds the sleep.
TEST(IdleWait, SleepsUntilTheNearestScheduledMomentOrPollsWhatCannotWakeIt) {
    const sf::Time now = ms(10000), poll = ms(33);
    struct Case {
        const char* what;
        std::optional<sf::Time> nextFrame, autoSleepAt;
        bool gamepad, nativeWindow, settling;
        std::optional<sf::Time> expected;
    };
    const Case cases[] = {
        {"nothing at all", {}, {}, false, false, false, std::nullopt},
        {"a caret blink", ms(10400), {}, false, false, false, ms(400)},
        {"a deadline already passed", ms(9000), {}, false, false, false, sf::Time::Zero},
        {"auto-sleep before the frame", ms(20000), ms(15000), false, false, false, ms(5000)},
        {"a gamepad is connected", {}, {}, true, false, false, poll},
        {"the counting window is open", {}, {}, false, true, false, poll},
        {"a device just appeared", {}, {}, false, false, true, poll},
        {"a gif frame sooner than the poll", ms(10010), {}, true, false, false, ms(10)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(idleTimeout({now, c.nextFrame, c.autoSleepAt, c.gamepad, c.nativeWindow, c.settling, poll}), c.expected)
            << c.what;
}
