// The main window's native side: placement, maximised and minimised states,
// the frame, and the monitor it is on (Xlib on the SFML window handle).
#pragma once

#include "platform/dialogs.h"

namespace ludexa {

struct ScreenRect {
    int x = 0, y = 0, width = 0, height = 0;
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

}  // namespace ludexa
