// Xlib on the SFML window: window manager states through _NET_WM_STATE.
#include "platform/window.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <memory>

namespace ludexa {
namespace {

// One connection of our own for the whole run; the X server keeps interned
// atoms alive as long as a client that interned them is connected.
Display* display() {
    static Display* d = XOpenDisplay(nullptr);
    return d;
}

struct XFreeDeleter {
    void operator()(void* p) const {
        if (p) XFree(p);
    }
};

bool hasState(Window w, const char* stateName) {
    Display* d = display();
    if (d == nullptr || w == 0) return false;
    const Atom wmState = XInternAtom(d, "_NET_WM_STATE", True);
    const Atom wanted = XInternAtom(d, stateName, True);
    if (wmState == None || wanted == None) return false;
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* raw = nullptr;
    if (XGetWindowProperty(d, w, wmState, 0, 64, False, XA_ATOM, &type, &format, &count, &after, &raw) != Success)
        return false;
    std::unique_ptr<unsigned char, XFreeDeleter> data(raw);
    if (type != XA_ATOM || format != 32 || raw == nullptr) return false;
    const auto* atoms = reinterpret_cast<const Atom*>(raw);
    for (unsigned long i = 0; i < count; ++i)
        if (atoms[i] == wanted) return true;
    return false;
}

void sendState(Window w, long action, const char* first, const char* second) {
    Display* d = display();
    if (d == nullptr || w == 0) return;
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = w;
    event.xclient.message_type = XInternAtom(d, "_NET_WM_STATE", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = action;
    event.xclient.data.l[1] = static_cast<long>(XInternAtom(d, first, False));
    event.xclient.data.l[2] = second ? static_cast<long>(XInternAtom(d, second, False)) : 0;
    event.xclient.data.l[3] = 1;
    XSendEvent(d, DefaultRootWindow(d), False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
    XFlush(d);
}

}  // namespace

WindowPlacement windowPlacement(NativeWindow window) {
    WindowPlacement placement;
    placement.maximized = hasState(window, "_NET_WM_STATE_MAXIMIZED_VERT") &&
                          hasState(window, "_NET_WM_STATE_MAXIMIZED_HORZ");
    return placement;
}

void maximizeWindow(NativeWindow window) {
    sendState(window, 1, "_NET_WM_STATE_MAXIMIZED_VERT", "_NET_WM_STATE_MAXIMIZED_HORZ");
}

void minimizeWindow(NativeWindow window) {
    Display* d = display();
    if (d == nullptr || window == 0) return;
    XIconifyWindow(d, window, DefaultScreen(d));
    XFlush(d);
}

void prepareClipboard() {
    if (Display* d = display()) XInternAtom(d, "UTF8_STRING", False);
}

}  // namespace ludexa
