// Gamepad navigation: reading the controller in one of four layouts, the focus
// model over the icon grid and the category bar, and the soft keyboard's
// controls. handleGamepad() runs once per awake frame, after the window events.
#include "ui/gamepad.h"

#include <algorithm>
#include <cmath>

#include "app/GameLauncher.h"
#include "platform/shell.h"
#include "platform/text.h"

namespace ludexa {
namespace {

// -1, 0 or +1: where an axis is pushed beyond the threshold.
int direction(float axis) { return axis > kPadThreshold ? 1 : axis < -kPadThreshold ? -1 : 0; }

// The order of the tags along the bar for left and right: 全部 收藏 桌面 多选,
// then the categories.
constexpr int kFixedOrder[] = {kTagAll, kTagFavorites, kTagDesktop, kTagMultiSelect};

int fixedColumn(int tag) {
    for (int c = 0; c < 4; ++c)
        if (kFixedOrder[c] == tag) return c;
    return -1;
}

// The tag at `column` of category row `row`, the column clamped to the row.
int tagInRow(const std::vector<RowLine>& rows, int row, int column) {
    const auto& tags = rows[static_cast<std::size_t>(row)].tags;
    return tags[static_cast<std::size_t>(std::min(column, static_cast<int>(tags.size()) - 1))];
}

int columnInRow(const std::vector<RowLine>& rows, int row, int tag) {
    const auto& tags = rows[static_cast<std::size_t>(row)].tags;
    return static_cast<int>(std::find(tags.begin(), tags.end(), tag) - tags.begin());
}

}  // namespace

PadLayout padLayout(int mode) {
    switch (mode) {
        case 2: return {{1, 0, 2, 3, 6, 7}, false};  // Switch
        case 3: return {{1, 2, 0, 3, 4, 5}, false};  // PlayStation: square reports 0, cross 1, circle 2
        case 4: return {{0, 1, 2, 3, 4, 5}, true};
        default: return {{0, 1, 2, 3, 4, 5}, false};
    }
}

bool PadInput::active() const {
    if (std::any_of(pressed.begin(), pressed.end(), [](bool p) { return p; })) return true;
    for (float axis : {navX, navY, dpadX, dpadY, rightX, rightY})
        if (std::fabs(axis) > kPadThreshold) return true;
    return false;
}

PadInput readPad(const JoystickSource& source, unsigned id, int mode) {
    const PadLayout layout = padLayout(mode);
    PadInput in;
    for (std::size_t b = 0; b < kPadButtonCount; ++b) in.pressed[b] = source.isButtonPressed(id, layout.buttons[b]);
    const auto axis = [&](JoystickAxis a) { return source.axisPosition(id, a) / 100.0f; };
    const float stickX = axis(JoystickAxis::X), stickY = axis(JoystickAxis::Y);
    const float povX = axis(JoystickAxis::PovX), povY = axis(JoystickAxis::PovY);
    if (layout.stickAndDpadSwapped) {
        in.navX = povX;
        in.navY = -povY;
        in.dpadX = stickX;
        in.dpadY = -stickY;
    } else {
        in.navX = stickX;
        in.navY = stickY;
        in.dpadX = povX;
        in.dpadY = povY;
    }
    in.rightX = axis(JoystickAxis::U);
    in.rightY = axis(JoystickAxis::V);
    return in;
}

PadInput samplePads(const JoystickSource& source, const std::vector<int>& ids, int mode) {
    for (int id : ids) {
        if (id < 0 || id >= static_cast<int>(JoystickSource::kMaxJoysticks)) continue;
        const PadInput in = readPad(source, static_cast<unsigned>(id), mode);
        if (in.active()) return in;
    }
    return {};
}

bool rescanJoysticksIfDue(JoystickSource& source, float secondsSinceScan, std::vector<int>& ids) {
    if (secondsSinceScan < kJoystickScanSeconds) return false;
    source.update();
    ids = connectedJoystickIds(source);
    return true;
}

int moveTagFocus(int tag, int dx, int dy, const std::vector<RowLine>& rows, int categoryCount) {
    // A focus left on a category that has since been deleted starts over at 全部.
    if (tag >= categoryCount || (tag < 0 && fixedColumn(tag) < 0)) tag = kTagAll;

    if (dx != 0) {
        // Positions along the bar: 0..3 the fixed tags, 4.. the categories.
        const int last = 3 + categoryCount;
        int position = tag < 0 ? fixedColumn(tag) : 4 + tag;
        position = std::clamp(position + (dx > 0 ? 1 : -1), 0, last);
        tag = position < 4 ? kFixedOrder[position] : position - 4;
    }
    if (dy != 0) {
        const int rowCount = static_cast<int>(rows.size());
        if (tag < 0) {
            // Up from the first line has nowhere to go; down reaches row 1,
            // since category row 0 shares the line with the fixed tags.
            if (dy > 0 && rowCount >= 2) tag = tagInRow(rows, 1, fixedColumn(tag));
        } else {
            int row = -1;
            for (int r = 0; r < rowCount && row < 0; ++r) {
                const auto& tags = rows[static_cast<std::size_t>(r)].tags;
                if (std::find(tags.begin(), tags.end(), tag) != tags.end()) row = r;
            }
            if (row >= 0) {
                const int column = columnInRow(rows, row, tag);
                if (dy < 0 && row == 0) {
                    tag = kFixedOrder[std::min(column, 3)];
                } else if (dy < 0) {
                    tag = tagInRow(rows, row - 1, column);
                } else if (row + 1 < rowCount) {
                    tag = tagInRow(rows, row + 1, column);
                }
            }
        }
    }
    return tag;
}

float scrollToShowGamepad(const GridGeometry& grid, int position, std::size_t count, float gridHeight, float scroll) {
    if (position < 0 || grid.columns < 1) return scroll;
    const float h = grid.rowHeight();
    const float rowTop = static_cast<float>(position / grid.columns) * h + 15;
    if (rowTop - scroll < 15) return std::max(0.0f, rowTop - 15);
    const float rowBottom = rowTop + grid.iconPx + grid.labelH;
    if (rowBottom - scroll > gridHeight) {
        const auto rows = (count + static_cast<std::size_t>(grid.columns) - 1) / static_cast<std::size_t>(grid.columns);
        return std::min(rowBottom - gridHeight + 20, std::max(0.0f, static_cast<float>(rows) * h + 30 - gridHeight));
    }
    return scroll;
}

GamepadActions stepGamepad(GamepadState& s, const PadInput& in, const GamepadContext& c) {
    GamepadActions a;
    // A press fires once; the latch holds until the control is let go.
    const auto fires = [&](std::size_t latch, bool down) {
        if (!down || s.latches[latch]) return false;
        s.latches[latch] = true;
        a.acted = true;
        return true;
    };
    const auto releaseLatches = [&] {
        for (std::size_t b = 0; b < kPadButtonCount; ++b)
            if (!in.pressed[b]) s.latches[b] = false;
        if (direction(in.rightX) == 0) s.latches[kRightStickLatch] = false;
    };

    if (fires(kPadY, in.pressed[kPadY])) {
        s.keyboardVisible = !s.keyboardVisible;
        if (s.keyboardVisible) {
            s.keyRow = kSoftKeyOpenRow;
            s.keyColumn = kSoftKeyOpenColumn;
        }
    }

    if (s.keyboardVisible) {
        static const SoftKeyRows kNoRows{"", "", "", ""};
        const SoftKeyRows& rows = c.keyboardRows ? *c.keyboardRows : kNoRows;
        if (c.repeatElapsed >= kPadRepeatSeconds &&
            moveSoftKey(s.keyRow, s.keyColumn, direction(in.navX), direction(in.navY), rows)) {
            a.restartRepeatClock = true;
            a.acted = true;
        }
        if (fires(kPadA, in.pressed[kPadA])) a.keyEdit = softKeyEdit(rows, s.keyRow, s.keyColumn);
        if (fires(kPadB, in.pressed[kPadB])) a.keyEdit = {SoftKeyEdit::Kind::Backspace, 0};
        // The other controls do nothing here; a press made now is used up, so
        // it does not go off the moment the keyboard closes.
        for (std::size_t b : {kPadX, kPadLB, kPadRB})
            if (in.pressed[b]) s.latches[b] = true;
        if (direction(in.rightX) != 0) s.latches[kRightStickLatch] = true;
        releaseLatches();
        return a;
    }

    float repeatElapsed = c.repeatElapsed;

    // The stick moves the grid focus, both ways at once on a diagonal.
    if (repeatElapsed >= kPadRepeatSeconds && c.count > 0) {
        const int columns = std::max(1, c.columns);
        const int from = std::clamp(s.focusIndex, 0, c.count - 1);
        int p = from;
        const int dy = direction(in.navY), dx = direction(in.navX);
        if (dy > 0 && p + columns < c.count) p += columns;
        if (dy < 0 && p >= columns) p -= columns;
        if (dx > 0 && p < c.count - 1) ++p;
        if (dx < 0 && p > 0) --p;
        if (p != from) {
            if (s.focusArea != 1) a.collapseForGrid = true;
            s.focusArea = 1;
            s.focusIndex = p;
            a.gridMoved = true;
            a.restartRepeatClock = true;
            a.acted = true;
            repeatElapsed = 0;
        }
    }

    const bool validFocus = s.focusIndex >= 0 && s.focusIndex < c.count;
    if (fires(kPadA, in.pressed[kPadA])) {
        if (s.focusArea != 1) {
            a.clickTag = s.focusTag;
        } else if (validFocus) {
            a.activateIndex = s.focusIndex;
        }
    }
    if (fires(kPadX, in.pressed[kPadX]) && !c.desktopMode && s.focusArea == 1 && validFocus)
        a.favoriteIndex = s.focusIndex;

    const int pictureDirection = direction(in.rightX);
    if (fires(kRightStickLatch, pictureDirection != 0) && !c.desktopMode && c.pictureCount > 1)
        a.pictureStep = pictureDirection;

    if (direction(in.rightY) != 0 && c.textScrollElapsed >= kTextScrollSeconds) {
        const float to = std::clamp(c.textScroll + kTextScrollLines * in.rightY * c.textLineHeight, 0.0f,
                                    std::max(0.0f, c.textScrollMax));
        a.restartTextScrollClock = true;
        if (to != c.textScroll) {
            a.textScrolled = true;
            a.textScrollTo = to;
            a.acted = true;
        }
    }

    if (repeatElapsed >= kPadRepeatSeconds) {
        const int dx = direction(in.dpadX), dy = -direction(in.dpadY);  // dy -1 is up
        if (dx != 0 || dy != 0) {
            const int tag = moveTagFocus(s.focusTag, dx, dy, c.categoryRows ? c.categoryRows() : std::vector<RowLine>{},
                                         c.categoryCount);
            if (tag != s.focusTag || s.focusArea != 0) a.acted = true;
            s.focusTag = tag;
            s.focusArea = 0;
            a.barMoved = true;
            a.restartRepeatClock = true;
        }
    }

    if (fires(kPadB, in.pressed[kPadB]) && s.focusArea == 0) {
        s.focusArea = 1;
        a.collapseForBack = true;
    }
    if (fires(kPadLB, in.pressed[kPadLB])) a.quickSwitchBack = true;
    if (fires(kPadRB, in.pressed[kPadRB])) a.quickSwitchAhead = true;

    releaseLatches();
    return a;
}

bool gamepadChangesView(const GamepadState& before, const GamepadState& after, const GamepadActions& a) {
    const bool focusMoved = before.focusArea != after.focusArea || before.focusTag != after.focusTag ||
                            before.focusIndex != after.focusIndex;
    const bool keyboardChanged = before.keyboardVisible != after.keyboardVisible ||
                                 (after.keyboardVisible && (before.keyRow != after.keyRow ||
                                                            before.keyColumn != after.keyColumn));
    return focusMoved || keyboardChanged || a.acted || a.keyEdit.kind != SoftKeyEdit::Kind::None ||
           a.collapseForGrid || a.gridMoved || a.clickTag != kNoTag || a.activateIndex >= 0 ||
           a.favoriteIndex >= 0 || a.pictureStep != 0 || a.textScrolled || a.barMoved || a.collapseForBack ||
           a.quickSwitchBack || a.quickSwitchAhead;
}

GamepadPoll pollGamepad(JoystickSource& source, std::vector<int>& ids, float secondsSinceScan, bool windowFocused,
                        int mode, GamepadState& state, const GamepadContext& context) {
    GamepadPoll poll;
    if (rescanJoysticksIfDue(source, secondsSinceScan, ids)) {
        poll.rescanned = true;
        if (ids.empty()) state.keyboardVisible = false;
    }
    if (ids.empty() || !windowFocused) return poll;
    poll.stepped = true;
    poll.actions = stepGamepad(state, samplePads(source, ids, mode), context);
    return poll;
}

// ---- The launcher's side ---------------------------------------------------

void GameLauncher::handleGamepad() {
    GamepadState state;
    state.focusArea = gamepad.focusArea;
    state.focusTag = gamepad.focusTag;
    // In game mode the selected game's place when it is listed, so A always
    // starts the game the grid highlights even after a sort, a search or a
    // click moved the selection.
    const int selectedPosition = library.desktopMode() ? -1 : library.selectedPosition();
    state.focusIndex = selectedPosition >= 0 ? selectedPosition : focusIndex;
    state.keyboardVisible = softKeyboard.visible;
    state.keyRow = softKeyboard.row;
    state.keyColumn = softKeyboard.column;
    state.latches = gamepad.buttonLatches;

    GamepadContext context;
    context.desktopMode = library.desktopMode();
    const GridGeometry grid = currentGrid();
    context.columns = grid.columns;
    context.count = static_cast<int>(visibleCount());
    context.pictureCount = static_cast<int>(mapFiles.size());
    context.textScroll = textBox.scrollOffset;
    context.textScrollMax = textBox.maxWheelScroll();
    context.textLineHeight = textBox.lineHeight();
    context.categoryRows = [this] { return categoryBarLayout().rows; };
    context.categoryCount = static_cast<int>(library.categories().size());
    context.keyboardRows = &softKeyboard.rows;
    context.repeatElapsed = gamepad.repeatClock.getElapsedTime().asSeconds();
    context.textScrollElapsed = gamepad.textScrollClock.getElapsedTime().asSeconds();

    const GamepadState before = state;
    const bool activeBefore = gamepad.focusActive;
    const GamepadPoll poll = pollGamepad(*joysticks, gamepad.connected, gamepad.scanClock.getElapsedTime().asSeconds(),
                                         window.hasFocus(), settings.gamepadMode, state, context);
    if (poll.rescanned) {
        gamepad.scanClock.restart();
        gamepad.focusActive = !gamepad.connected.empty();
        softKeyboard.visible = state.keyboardVisible;
    }
    const GamepadActions& a = poll.actions;
    // With a controller found or lost the focus marks appear or go.
    if (gamepad.focusActive != activeBefore || gamepadChangesView(before, state, a)) requestFrame(FrameReason::Gamepad);
    if (!poll.stepped) return;

    gamepad.focusArea = state.focusArea;
    gamepad.focusTag = state.focusTag;
    focusIndex = state.focusIndex;
    softKeyboard.visible = state.keyboardVisible;
    softKeyboard.row = state.keyRow;
    softKeyboard.column = state.keyColumn;
    gamepad.buttonLatches = state.latches;
    if (a.restartRepeatClock) gamepad.repeatClock.restart();
    if (a.restartTextScrollClock) gamepad.textScrollClock.restart();
    if (a.acted) idleClock.restart();

    if (applySoftKeyEdit(searchBox.text, a.keyEdit)) {
        searchBox.cursorPos = searchBox.text.size();
        searchBox.adjustScroll();
        ViewChange change = library.setSearchQuery(searchBox.getTextUTF8());
        change |= library.selectFirstVisible();
        applyViewChange(change);
    }

    if (a.collapseForGrid) categoriesExpanded = false;
    if (a.gridMoved) updateGamepadFocus();
    if (a.clickTag != kNoTag) chooseTag(a.clickTag, true);
    if (a.activateIndex >= 0) {
        const auto position = static_cast<std::size_t>(a.activateIndex);
        if (!library.desktopMode() && position < library.filteredIndices().size()) {
            launchGame(static_cast<int>(library.filteredIndices()[position]));
        } else if (library.desktopMode() && position < desktopItems.size()) {
            openDesktopItem(position);
        }
    }
    if (a.favoriteIndex >= 0 && static_cast<std::size_t>(a.favoriteIndex) < library.filteredIndices().size()) {
        const int game = static_cast<int>(library.filteredIndices()[static_cast<std::size_t>(a.favoriteIndex)]);
        setFavorite(game, !library.games()[static_cast<std::size_t>(game)].is_favorite);
        updateTextContent();
    }
    if (a.pictureStep != 0 && !mapFiles.empty()) {
        const int n = static_cast<int>(mapFiles.size());
        currentMapIndex = ((currentMapIndex + a.pictureStep) % n + n) % n;
        loadCurrentMap();
    }
    if (a.textScrolled) textBox.scrollOffset = a.textScrollTo;
    if (a.barMoved) updateCategoryExpandState();
    if (a.collapseForBack) categoriesExpanded = false;
    if (a.quickSwitchBack) quickSwitchCategory(-1);
    if (a.quickSwitchAhead) quickSwitchCategory(+1);
}

void GameLauncher::updateGamepadFocus() {
    const std::size_t count = visibleCount();
    if (focusIndex < 0 || static_cast<std::size_t>(focusIndex) >= count) return;
    ViewChange change{.selection = true};
    if (!library.desktopMode()) change = library.selectAt(static_cast<std::size_t>(focusIndex));
    applyViewChange(change);
    // Desktop items scroll into view as games do, or the focus could walk off
    // the visible rows.
    const GridGeometry grid = currentGrid();
    gridInput.scrollOffset = scrollToShowGamepad(grid, focusIndex, count, windowHeight - grid.top, gridInput.scrollOffset);
}

}  // namespace ludexa
