// The program's own X connection (platform/linux/window.cpp), for the other
// files of the layer that must see it.
#pragma once

#include <X11/Xlib.h>

namespace ludexa {

// Opened on first use and kept for the whole run; nullptr without a display.
Display* ownDisplay();

}  // namespace ludexa
