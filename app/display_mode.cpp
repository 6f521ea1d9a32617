// The three display modes: framed, borderless over the work area, borderless
// over the whole monitor. They are made with the window manager's hints on the
// SFML window itself, never with SFML's full-screen video modes, so the
// OpenGL context survives every switch; the resize each switch causes reaches
// the layout as an ordinary resize event.
#include "app/display_mode.h"

#include <algorithm>

#include "app/GameLauncher.h"

namespace ludexa {

DisplayModeStep nextDisplayMode(int mode, const WindowState& current, const WindowState& saved,
                                const ScreenRect& monitor, const ScreenRect& workArea) {
    DisplayModeStep step;
    if (mode == 1) {
        step.mode = 2;
        step.target = {monitor, false, false};
        step.fullscreenState = true;
    } else if (mode == 2) {
        step.mode = 0;
        step.target = saved;
        // Nothing was saved (mode 2 set from outside the cycle): stay where we
        // are but give the frame back.
        if (saved.rect.width <= 0 || saved.rect.height <= 0) step.target = {current.rect, true, false};
    } else {
        step.mode = 1;
        step.target = {workArea, false, false};
        step.saveCurrent = true;
    }
    return step;
}

unsigned long packWindowStyle(const WindowState& state) {
    return (state.framed ? 1UL : 0UL) | (state.maximized ? 2UL : 0UL);
}

WindowState unpackWindowState(int left, int top, int right, int bottom, unsigned long style) {
    return {{left, top, right - left, bottom - top}, (style & 1UL) != 0, (style & 2UL) != 0};
}

void GameLauncher::toggleFullscreen() {
    const NativeWindow handle = nativeHandle();
    if (handle == 0) return;
    const WindowPlacement placement = windowPlacement(handle);
    const WindowState current{placement.maximized ? placement.normal : windowRect(handle), windowFramed(handle),
                              placement.maximized};
    const WindowState saved = unpackWindowState(savedWindowRect.left, savedWindowRect.top, savedWindowRect.right,
                                                savedWindowRect.bottom, savedWindowStyle);
    const DisplayModeStep step = nextDisplayMode(fullscreen, current, saved, monitorRectFor(handle), workAreaFor(handle));

    if (step.saveCurrent) {
        savedWindowRect = {current.rect.x, current.rect.y, current.rect.x + current.rect.width,
                           current.rect.y + current.rect.height};
        savedWindowStyle = packWindowStyle(current);
    }
    // Leave the window manager's states first: a maximised or full-screen
    // window would ignore the new geometry.
    if (fullscreen == 2) setFullscreenState(handle, false);
    if (current.maximized) unmaximizeWindow(handle);
    setWindowFrame(handle, step.target.framed);
    moveResizeWindow(handle, step.target.rect);
    if (step.fullscreenState) setFullscreenState(handle, true);
    if (step.target.maximized) {
        // The window manager keeps the geometry it sees when maximising as the
        // one to restore later: let it take the saved geometry first.
        (void)waitForWindowRect(handle, step.target.rect, 500);
        maximizeWindow(handle);
    }
    fullscreen = step.mode;
}

ScreenRect firstStartRect(const ScreenRect& workArea, const ScreenRect& current) {
    if (workArea.width <= 0 || workArea.height <= 0) return current;
    const bool inside = current.x >= workArea.x && current.y >= workArea.y &&
                        current.x + current.width <= workArea.x + workArea.width &&
                        current.y + current.height <= workArea.y + workArea.height;
    if (inside) return current;
    const int w = std::max(1, std::min(current.width, workArea.width));
    const int h = std::max(1, std::min(current.height, workArea.height));
    return {workArea.x + (workArea.width - w) / 2, workArea.y + (workArea.height - h) / 2, w, h};
}

void GameLauncher::placeWindowOnFirstStart() {
    if (settings.windowX >= 0 && settings.windowY >= 0) return;  // run() puts it where it was
    ScreenRect current = windowRect(nativeHandle());
    current.width = static_cast<int>(windowWidth);
    current.height = static_cast<int>(windowHeight);
    const ScreenRect rect = firstStartRect(workAreaFor(nativeHandle()), current);
    if (rect.width > 0 && !(rect == current)) moveResizeWindow(nativeHandle(), rect);
}

}  // namespace ludexa
