// Gamepad navigation with a scripted controller and a fake clock: discovery,
// layouts, grid and category-bar focus, once-per-press buttons, staying awake,
// and the wiring to the real launcher state.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "app/GameLauncher.h"
#include "library/database.h"
#include "platform/paths.h"
#include "platform/window.h"
#include "ui/gamepad.h"

using namespace ludexa;

namespace {

constexpr float kFrame = 1.0f / 60;

// The launcher's side of the gamepad, frame by frame, its clocks replaced by
// a count of seconds.
struct Rig {
    ScriptedJoysticks pads;
    std::vector<int> ids;
    GamepadState state;
    GamepadContext context;
    int mode = 1;
    bool focused = true;
    float now = 0, lastScan = 0, lastRepeat = -1, lastActivity = 0;

    Rig(bool scanned = true) {
        pads.pads[0] = {true, 12, {}, {}};
        if (scanned) ids = {0};
        context.count = 10;
        context.columns = 4;
        context.categoryCount = 2;
    }
    void axis(JoystickAxis a, float value) { pads.pads[0].axes[static_cast<std::size_t>(a)] = value; }
    void button(unsigned physical, bool down) { pads.pads[0].pressed[physical] = down; }

    GamepadActions frame(float dt = kFrame) {
        now += dt;
        context.repeatElapsed = now - lastRepeat;
        const GamepadPoll poll = pollGamepad(pads, ids, now - lastScan, focused, mode, state, context);
        if (poll.rescanned) lastScan = now;
        if (poll.actions.restartRepeatClock) lastRepeat = now;
        if (poll.actions.acted) lastActivity = now;
        return poll.actions;
    }
    template <class Each>
    void run(float seconds, Each each) {
        for (const float end = now + seconds - kFrame / 2; now < end;) each(frame());
    }
};

}  // namespace

TEST(GamepadPolling, DiscoveryWithinTwoSecondsAndNothingInTheBackground) {
    Rig rig(false);  // plugged in just after the last scan, A already held
    std::vector<float> launches;
    // A held for three seconds launches once; a second launch needs a release and a new press.
    for (const auto& [down, seconds] : {std::pair{true, 3.0f}, {false, 0.5f}, {true, 0.5f}}) {
        rig.button(0, down);
        rig.run(seconds, [&](const GamepadActions& a) {
            if (a.activateIndex >= 0) launches.push_back(rig.now);
        });
    }
    EXPECT_EQ(rig.ids, std::vector<int>{0});
    ASSERT_EQ(launches.size(), 2u);
    EXPECT_NEAR(launches[0], 2.0f, kFrame);  // ignored until found, found within two seconds

    Rig background;
    background.focused = false;
    background.button(0, true);
    background.axis(JoystickAxis::X, 100);
    background.run(1.0f, [](const GamepadActions& a) { EXPECT_FALSE(a.acted || a.gridMoved || a.activateIndex >= 0); });
    EXPECT_EQ(background.state.focusIndex, 0);
}

TEST(GamepadPolling, LayoutsThreeAndFour) {
    Rig ps;
    ps.mode = 3;
    ps.button(1, true);  // button 1 launches ...
    EXPECT_EQ(ps.frame().activateIndex, 0);
    ps.button(1, false);
    ps.button(0, true);  // ... and button 0 toggles the favourite
    const auto a = ps.frame();
    EXPECT_EQ(a.favoriteIndex, 0);
    EXPECT_EQ(a.activateIndex, -1);

    Rig other;  // the D-pad walks the grid, the stick walks the bar
    other.mode = 4;
    other.axis(JoystickAxis::PovX, 100);
    EXPECT_TRUE(other.frame().gridMoved);
    other.axis(JoystickAxis::PovX, 0);
    other.axis(JoystickAxis::PovY, -100);  // D-pad down: POV Y is positive for up
    other.frame(0.2f);
    EXPECT_EQ(other.state.focusIndex, 5);
    other.axis(JoystickAxis::PovY, 0);
    other.axis(JoystickAxis::X, 100);
    EXPECT_TRUE(other.frame(0.2f).barMoved);
    EXPECT_EQ(other.state.focusTag, kTagFavorites);
    EXPECT_EQ(other.state.focusIndex, 5);
}

TEST(GamepadGrid, HeldStickStepsEvery150msStopsAtTheEndAndKeepsItAwake) {
    Rig rig;
    rig.context.count = 5;
    rig.axis(JoystickAxis::X, 100);
    std::vector<float> moves;
    rig.run(1.5f, [&](const GamepadActions& a) {
        if (a.gridMoved) moves.push_back(rig.now);
    });
    ASSERT_EQ(moves.size(), 4u);
    for (std::size_t i = 1; i < moves.size(); ++i)
        EXPECT_NEAR(moves[i] - moves[i - 1], 0.15f + kFrame / 2, kFrame / 2 + 1e-4f);
    EXPECT_EQ(rig.state.focusIndex, 4);

    rig.context.count = 100000;
    rig.run(90.0f, [](const GamepadActions&) {});  // a minute and a half of browsing
    EXPECT_LT(rig.now - rig.lastActivity, 0.2f);
    rig.context.count = rig.state.focusIndex + 1;  // a stick resting against the end is not use
    rig.run(5.0f, [](const GamepadActions&) {});
    EXPECT_GT(rig.now - rig.lastActivity, 4.9f);

    rig.context.textScrollElapsed = rig.context.textLineHeight = rig.context.textScrollMax = 100;
    rig.axis(JoystickAxis::V, 100);
    EXPECT_TRUE(rig.frame().acted);  // a text scroll
}

TEST(GamepadCategoryBar, RowsAndColumnsThroughTheFixedTags) {
    // Row 0 shares the first line with 全部 收藏 桌面 多选.
    const std::vector<RowLine> rows{{{0, 1, 2, 3, 4}, 300}, {{5, 6}, 100}, {{7, 8, 9}, 150}};
    std::vector<int> seen;
    for (int i = 0, tag = kTagDesktop; i < 4; ++i) seen.push_back(tag = moveTagFocus(tag, 1, 0, rows, 10));
    EXPECT_EQ(seen, (std::vector<int>{kTagMultiSelect, 0, 1, 2}));
    EXPECT_EQ(moveTagFocus(9, 1, 0, rows, 10), 9);
    EXPECT_EQ(moveTagFocus(kTagAll, -1, 0, rows, 10), kTagAll);
    EXPECT_EQ(moveTagFocus(kTagMultiSelect, 0, 1, rows, 10), 6);  // clamped to the short row
    EXPECT_EQ(moveTagFocus(kTagFavorites, 0, -1, rows, 10), kTagFavorites);
    EXPECT_EQ(moveTagFocus(4, 0, -1, rows, 10), kTagMultiSelect);
    EXPECT_EQ(moveTagFocus(6, 0, 1, rows, 10), 8);
    EXPECT_EQ(moveTagFocus(9, 0, -1, rows, 10), 6);
    EXPECT_EQ(moveTagFocus(kTagAll, 0, 1, {{{0, 1}, 100}}, 2), kTagAll);  // one row: nothing below
    EXPECT_EQ(moveTagFocus(12, 1, 0, rows, 10), kTagFavorites);  // a deleted category starts over at 全部
}

TEST(GamepadLauncherOnDisplay, ControllerDrivesTheRealState) {
    // X writes to the data.db beside the test binary: one is made when there is
    // none (a refused write would wait for a click on a message box).
    struct Library {
        const bool made = !std::filesystem::exists(databasePath());
        ~Library() {
            if (made) std::filesystem::remove(databasePath());
        }
    } library;
    ASSERT_TRUE(initDatabase());
    GameLauncher l;
    auto scripted = std::make_unique<ScriptedJoysticks>();
    auto& pad = scripted->pads[0];
    pad = {true, 12, {}, {}};
    l.joysticks = std::move(scripted);
    l.gamepad.connected = {0};
    // Ids far from any real row: favourites are written to data.db.
    l.library.setGames({{.id = 900001, .name = "Halo", .category = "射击"},
                        {.id = 900002, .name = "Gris", .category = "冒险"},
                        {.id = 900003, .name = "Ghost", .category = "射击"},
                        {.id = 900004, .name = "Portal", .category = "解谜"}});
    l.library.setCategories({"射击", "冒险", "解谜"});
    l.filterGames();
    l.selectGame(0);
    activateWindow(l.nativeHandle());
    for (int i = 0; i < 100 && !l.window.hasFocus(); ++i) {
        for (sf::Event event; l.window.pollEvent(event);) {
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (!l.window.hasFocus()) GTEST_SKIP() << "the test window could not get the input focus";
    const auto tap = [&](unsigned button) {
        pad.pressed[button] = true;
        l.handleGamepad();
        pad.pressed[button] = false;
        l.handleGamepad();
    };

    l.softKeyboard.row = 0;
    tap(3);  // Y opens on "G" wherever it was left; A types it
    tap(0);
    ASSERT_EQ(l.library.filteredIndices(), (std::vector<std::size_t>{1, 2}));
    tap(1);  // B empties the search: every game shows
    EXPECT_EQ(l.library.filteredIndices().size(), 4u);
    EXPECT_EQ(l.library.selectedIndex(), 0);
    l.gridInput.scrollOffset = 50;  // a backspace on nothing must not refilter (which scrolls to the top)
    tap(1);
    EXPECT_EQ(l.gridInput.scrollOffset, 50);
    const auto pushRight = [&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(170));  // the repeat time
        pad.axes[static_cast<std::size_t>(JoystickAxis::X)] = 100;
        l.handleGamepad();
        pad.axes[static_cast<std::size_t>(JoystickAxis::X)] = 0;
    };
    pushRight();  // moves the key, not the grid
    EXPECT_EQ(l.softKeyboard.column, 5);
    EXPECT_EQ(l.focusIndex, 0);
    tap(3);
    pushRight();
    EXPECT_EQ(l.library.selectedIndex(), 1);
    EXPECT_LT(l.idleClock.getElapsedTime().asMilliseconds(), 100);  // a move keeps it awake

    l.selectGame(3);  // moved by a click, a sort or a search: X acts on what the grid highlights
    tap(2);
    EXPECT_TRUE(l.library.games()[3].is_favorite);
    EXPECT_FALSE(l.library.games()[1].is_favorite);

    l.gamepad.focusArea = 0;
    tap(4);  // LB from 全部: the last category, focus back on the grid
    EXPECT_EQ(l.library.filteredIndices(), std::vector<std::size_t>{3});
    EXPECT_EQ(l.gamepad.focusArea, 1);
    tap(5);  // RB from the last category: 全部
    EXPECT_TRUE(l.library.categoryState().selectedCategories.empty());
    EXPECT_EQ(l.library.categoryState().categoryMode, 0);
}
