// The three display modes as pure geometry: what each step of the cycle
// 0 → 1 → 2 → 0 makes of the window. toggleFullscreen() applies it with the
// platform's window functions.
#pragma once

#include "platform/window.h"

namespace ludexa {

// The part of a window's state the display modes change.
struct WindowState {
    ScreenRect rect;  // frame corner and client size; the restored geometry when maximised
    bool framed = true;
    bool maximized = false;
};

struct DisplayModeStep {
    int mode = 0;              // the mode after the step
    WindowState target;        // what the window becomes
    bool saveCurrent = false;  // remember the current state: the third step brings it back
    bool fullscreenState = false;  // also ask the window manager for full-screen state
};

// Mode 0 → 1: borderless over the work area; 1 → 2: borderless over the whole
// monitor; 2 → 0: exactly the state saved when mode 0 was left.
DisplayModeStep nextDisplayMode(int mode, const WindowState& current, const WindowState& saved,
                                const ScreenRect& monitor, const ScreenRect& workArea);

// savedWindowStyle holds the frame (bit 0) and maximised (bit 1) flags.
unsigned long packWindowStyle(const WindowState& state);
WindowState unpackWindowState(int left, int top, int right, int bottom, unsigned long style);

// The first start's place (no position in set.ini yet): where the window is
// when it is wholly inside the work area; else shrunk to fit it and centred on
// it, so the whole window is on screen.
ScreenRect firstStartRect(const ScreenRect& workArea, const ScreenRect& current);

}  // namespace ludexa
