// The main window's native side: placement, maximised and minimised states,
// the frame, and the monitor it is on (Xlib on the SFML window handle).
#pragma once

#include <vector>

#include "platform/dialogs.h"

namespace ludexa {

struct ScreenRect {
    int x = 0, y = 0, width = 0, height = 0;
    bool operator==(const ScreenRect&) const = default;
};

struct WindowPlacement {
    bool maximized = false;
    ScreenRect normal;  // the restored geometry while maximised
};

WindowPlacement windowPlacement(NativeWindow window);
void maximizeWindow(NativeWindow window);
void minimizeWindow(NativeWindow window);

// Keeps UTF8_STRING interned on a display connection that lives as long as the
// program, so the clipboard carries Chinese text (SFML 2.5 looks for the atom
// only once and falls back to Latin-1 when it is missing).
void prepareClipboard();

// ---- Geometry and display modes ------------------------------------------
// A window's place is the top-left corner of its outer frame (what
// sf::Window::setPosition/getPosition use) with the size of its client area.
ScreenRect windowRect(NativeWindow window);
// The monitor the window is on: the one holding most of it, else the nearest.
ScreenRect monitorRectFor(NativeWindow window);
// That monitor's work area (_NET_WORKAREA intersected with the monitor); the
// whole monitor when no window manager publishes a work area.
ScreenRect workAreaFor(NativeWindow window);
// Places the window: frame corner at (x, y), client area width x height.
void moveResizeWindow(NativeWindow window, const ScreenRect& rect);
// Waits (up to `timeoutMs`) until the window manager has put the window at
// `rect`; false when it has not by then.
bool waitForWindowRect(NativeWindow window, const ScreenRect& rect, int timeoutMs);
// Drops the window manager's frame (and with it resizing and maximising by
// the user), or puts back exactly the frame hints the window had before.
void setWindowFrame(NativeWindow window, bool framed);
bool windowFramed(NativeWindow window);
// _NET_WM_STATE_FULLSCREEN, when a window manager runs; false when none does.
bool setFullscreenState(NativeWindow window, bool fullscreen);
void unmaximizeWindow(NativeWindow window);
// Raises the window and gives it the keyboard focus (after a dialog closed).
void activateWindow(NativeWindow window);
// Starts following the window's moves and state changes, so that
// windowPlacement() knows the restored geometry of a maximised window.
void watchWindowPlacement(NativeWindow window);
// Whether the window system lost part of the window's picture (it was
// uncovered, or shown again after being minimised) since the last call; only
// for a window that watchWindowPlacement follows.
bool takeWindowExposed(NativeWindow window);

// ---- Partial presenting (on the window whose GL context is current) ------
// Whether a rectangle of the back buffer can be shown without the rest.
bool canPresentRegion();
// Shows `region` (window pixels, rows from the top) of the back buffer and
// leaves the rest of the window as it was; false when that cannot be done.
bool presentRegion(const ScreenRect& region, int windowHeight);

// Pure geometry shared by the functions above (tested without a display).
ScreenRect intersectRects(const ScreenRect& a, const ScreenRect& b);
// Index of the monitor holding most of `window`, else of the nearest one; -1
// for an empty list.
int pickMonitor(const std::vector<ScreenRect>& monitors, const ScreenRect& window);
// The work area on one monitor: the intersection, or the monitor itself when
// the two do not overlap or no work area is known (empty `workArea`).
ScreenRect workAreaOnMonitor(const ScreenRect& workArea, const ScreenRect& monitor);
// The restored geometry of a maximised window: the newest recorded geometry
// that differs from the maximised one; `maximized` itself when none does.
ScreenRect restoredGeometry(const std::vector<ScreenRect>& history, const ScreenRect& maximized);

}  // namespace ludexa
