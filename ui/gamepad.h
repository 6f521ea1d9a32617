// Gamepad navigation. The controller is read into logical buttons and axes
// (PadInput) according to the chosen layout, then one pure step turns that
// sample, the elapsed times and the launcher's numbers into focus changes and
// a list of things to do (GamepadActions). GameLauncher::handleGamepad only
// samples, copies state in and out and carries the actions out, so everything
// here runs in tests without a window or a real controller.
#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <vector>

#include "platform/joystick.h"
#include "ui/category_bar.h"
#include "ui/layout.h"
#include "ui/soft_keyboard.h"

namespace ludexa {

// Logical buttons, also the indices of their latches.
enum PadButton : std::size_t { kPadA, kPadB, kPadX, kPadY, kPadLB, kPadRB, kPadButtonCount };
// The seventh latch: the right stick pushed sideways (picture browsing).
inline constexpr std::size_t kRightStickLatch = kPadButtonCount;
inline constexpr std::size_t kPadLatchCount = kPadButtonCount + 1;

inline constexpr float kPadThreshold = 0.5f;        // of full deflection
inline constexpr float kPadRepeatSeconds = 0.15f;   // stick and D-pad steps while held
inline constexpr float kTextScrollSeconds = 0.05f;  // right-stick text scrolling
inline constexpr float kTextScrollLines = 6;        // lines per step at full deflection
inline constexpr float kJoystickScanSeconds = 2;    // how often controllers are looked for

// Physical button numbers of A, B, X, Y, LB, RB in a layout (1 Xbox, 2 Switch,
// 3 PlayStation, 4 other); in layout 4 the left stick and the D-pad swap roles.
struct PadLayout {
    std::array<unsigned, kPadButtonCount> buttons;
    bool stickAndDpadSwapped = false;
};
PadLayout padLayout(int mode);

// One controller's state in logical terms; axes run -1..1.
struct PadInput {
    std::array<bool, kPadButtonCount> pressed{};
    float navX = 0, navY = 0;      // the stick that moves through the grid; +Y is down
    float dpadX = 0, dpadY = 0;    // the pad that moves through the category bar; +Y is up
    float rightX = 0, rightY = 0;  // right stick; +Y is down

    bool active() const;  // any button pressed or any axis beyond the threshold
};

PadInput readPad(const JoystickSource& source, unsigned id, int mode);

// The first controller in `ids` that shows any activity, or an all-released
// sample when none does. Only that controller drives this frame, so a second
// pad lying around cannot fight the one in the user's hands.
PadInput samplePads(const JoystickSource& source, const std::vector<int>& ids, int mode);

// Looks for controllers again when `secondsSinceScan` has reached the scan
// interval: refreshes the source and rebuilds `ids`. True when it scanned (the
// caller restarts its scan clock).
bool rescanJoysticksIfDue(JoystickSource& source, float secondsSinceScan, std::vector<int>& ids);

// The state the gamepad moves, copied from and back to the launcher.
struct GamepadState {
    int focusArea = 1;  // 0 category bar, 1 icon grid
    int focusTag = kTagAll;
    int focusIndex = 0;  // position in the visible list
    bool keyboardVisible = false;
    int keyRow = kSoftKeyOpenRow;
    int keyColumn = kSoftKeyOpenColumn;
    std::array<bool, kPadLatchCount> latches{};
};

// The launcher's numbers one step reads.
struct GamepadContext {
    bool desktopMode = false;
    int columns = 1;
    int count = 0;         // items in the visible list
    int pictureCount = 0;  // pictures of the selected game
    float textScroll = 0, textScrollMax = 0, textLineHeight = 0;
    // The tag rows of the bar (they measure every label, so they are asked
    // for only when the D-pad moves); none when unset.
    std::function<std::vector<RowLine>()> categoryRows;
    int categoryCount = 0;
    const SoftKeyRows* keyboardRows = nullptr;
    float repeatElapsed = 0;      // seconds since the last navigation step
    float textScrollElapsed = 0;  // seconds since the last text scroll step
};

// What the launcher must do after a step, in this order.
struct GamepadActions {
    bool acted = false;  // the user did something: keeps the launcher awake
    bool restartRepeatClock = false;
    bool restartTextScrollClock = false;

    SoftKeyEdit keyEdit;  // typed on the soft keyboard

    bool collapseForGrid = false;  // the stick took the focus back from the bar
    bool gridMoved = false;        // focusIndex changed: select and scroll into view
    int clickTag = kNoTag;         // A on a tag of the bar
    int activateIndex = -1;        // A in the grid: launch or open this position
    int favoriteIndex = -1;        // X: invert this position's favourite
    int pictureStep = 0;           // right stick sideways: -1 or +1
    bool textScrolled = false;
    float textScrollTo = 0;
    bool barMoved = false;          // the D-pad moved the tag focus
    bool collapseForBack = false;   // B left the bar
    bool quickSwitchBack = false;   // LB
    bool quickSwitchAhead = false;  // RB
};

// One frame's sample applied to the focus state. While the soft keyboard is
// shown it takes the stick, A, B and Y; everything else waits.
GamepadActions stepGamepad(GamepadState& state, const PadInput& input, const GamepadContext& context);

// One frame of the controller: looks for controllers every two seconds (with
// none left the soft keyboard closes, as only a controller can close it); does
// nothing more while none is known or the window is in the background; else
// the first active controller drives one step.
// Whether a step changed anything the window shows: a focus, the soft
// keyboard, or an action to carry out. Latches and clocks alone do not, so an
// idle controller costs no frames.
bool gamepadChangesView(const GamepadState& before, const GamepadState& after, const GamepadActions& actions);

struct GamepadPoll {
    bool rescanned = false;  // restart the scan clock; the id list was rebuilt
    bool stepped = false;    // the state may have changed: copy it back
    GamepadActions actions;
};
GamepadPoll pollGamepad(JoystickSource& source, std::vector<int>& ids, float secondsSinceScan, bool windowFocused,
                        int mode, GamepadState& state, const GamepadContext& context);

// The tag the D-pad leads to from `tag` (dx, dy in -1..1; dy -1 is up). The
// fixed tags and 多选 are columns 0..3 of the line above category row 1.
int moveTagFocus(int tag, int dx, int dy, const std::vector<RowLine>& rows, int categoryCount);

// The grid scroll offset that brings `position` into view after a gamepad move.
float scrollToShowGamepad(const GridGeometry& grid, int position, std::size_t count, float gridHeight, float scroll);

}  // namespace ludexa
