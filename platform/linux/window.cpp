// Xlib on the SFML window: window manager states through _NET_WM_STATE.
#include "platform/window.h"
#include "platform/linux/x_display.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xrandr.h>

#include <chrono>
#include <map>
#include <memory>
#include <thread>
#include <utility>
#include <vector>

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

// Defined with the geometry functions below.
ScreenRect restoredPlacement(NativeWindow window, bool maximized);

WindowPlacement windowPlacement(NativeWindow window) {
    WindowPlacement placement;
    placement.maximized = hasState(window, "_NET_WM_STATE_MAXIMIZED_VERT") &&
                          hasState(window, "_NET_WM_STATE_MAXIMIZED_HORZ");
    placement.normal = restoredPlacement(window, placement.maximized);
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

// ---- Geometry, frame and display modes -------------------------------------
// Every request goes through our own connection; the SFML window may be gone
// (closed) or not yet managed, so each operation runs inside an error trap
// instead of letting Xlib's default handler end the program.
namespace ludexa {
namespace {

int g_trappedError = 0;

int trapError(Display*, XErrorEvent* event) {
    g_trappedError = event->error_code;
    return 0;
}

class ErrorTrap {
public:
    explicit ErrorTrap(Display* d) : d_(d) {
        XSync(d_, False);
        g_trappedError = 0;
        previous_ = XSetErrorHandler(trapError);
    }
    ~ErrorTrap() {
        XSync(d_, False);
        XSetErrorHandler(previous_);
    }
    bool failed() {
        XSync(d_, False);
        return g_trappedError != 0;
    }
    ErrorTrap(const ErrorTrap&) = delete;
    ErrorTrap& operator=(const ErrorTrap&) = delete;

private:
    Display* d_;
    XErrorHandler previous_;
};

// A property of 32-bit items, as Xlib hands them out (one long per item).
std::vector<long> longProperty(Window w, const char* name, Atom wantedType = AnyPropertyType,
                               Atom* typeOut = nullptr) {
    std::vector<long> out;
    Display* d = display();
    if (d == nullptr || w == 0) return out;
    const Atom property = XInternAtom(d, name, True);
    if (property == None) return out;
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* raw = nullptr;
    if (XGetWindowProperty(d, w, property, 0, 1024, False, wantedType, &type, &format, &count, &after, &raw) !=
        Success)
        return out;
    std::unique_ptr<unsigned char, XFreeDeleter> data(raw);
    if (format != 32 || raw == nullptr) return out;
    const auto* items = reinterpret_cast<const long*>(raw);
    out.assign(items, items + count);
    if (typeOut != nullptr) *typeOut = type;
    return out;
}

// A window manager leaves _NET_SUPPORTING_WM_CHECK on the root window when it
// exits; only a check window that still exists and names itself counts.
bool windowManagerRunning() {
    Display* d = display();
    if (d == nullptr) return false;
    const auto check = longProperty(DefaultRootWindow(d), "_NET_SUPPORTING_WM_CHECK", XA_WINDOW);
    if (check.size() != 1 || check[0] == 0) return false;
    ErrorTrap trap(d);
    const auto self = longProperty(static_cast<Window>(check[0]), "_NET_SUPPORTING_WM_CHECK", XA_WINDOW);
    return !trap.failed() && self.size() == 1 && self[0] == check[0];
}

// _NET_FRAME_EXTENTS: left, right, top, bottom.
std::vector<long> frameExtents(Window w) {
    auto extents = longProperty(w, "_NET_FRAME_EXTENTS", XA_CARDINAL);
    if (extents.size() != 4) extents.clear();
    return extents;
}

// The ancestor of `w` that is a child of the root: the frame a reparenting
// window manager put around it, or the window itself.
Window topLevelOf(Display* d, Window w) {
    Window current = w;
    for (int depth = 0; depth < 16; ++depth) {
        Window root = 0, parent = 0;
        Window* children = nullptr;
        unsigned int count = 0;
        if (!XQueryTree(d, current, &root, &parent, &children, &count)) return w;
        if (children != nullptr) XFree(children);
        if (parent == 0 || parent == root) return current;
        current = parent;
    }
    return current;
}

std::vector<ScreenRect> monitorRects() {
    std::vector<ScreenRect> out;
    Display* d = display();
    if (d == nullptr) return out;
    const Window root = DefaultRootWindow(d);
    int eventBase = 0, errorBase = 0, major = 0, minor = 0;
    if (XRRQueryExtension(d, &eventBase, &errorBase) && XRRQueryVersion(d, &major, &minor)) {
        if (major > 1 || (major == 1 && minor >= 5)) {
            int count = 0;
            XRRMonitorInfo* monitors = XRRGetMonitors(d, root, True, &count);
            for (int i = 0; i < count; ++i)
                out.push_back({monitors[i].x, monitors[i].y, monitors[i].width, monitors[i].height});
            if (monitors != nullptr) XRRFreeMonitors(monitors);
        } else if (XRRScreenResources* resources = XRRGetScreenResourcesCurrent(d, root)) {
            for (int i = 0; i < resources->ncrtc; ++i) {
                XRRCrtcInfo* crtc = XRRGetCrtcInfo(d, resources, resources->crtcs[i]);
                if (crtc == nullptr) continue;
                if (crtc->mode != None && crtc->width > 0 && crtc->height > 0)
                    out.push_back({crtc->x, crtc->y, static_cast<int>(crtc->width), static_cast<int>(crtc->height)});
                XRRFreeCrtcInfo(crtc);
            }
            XRRFreeScreenResources(resources);
        }
    }
    if (out.empty()) out.push_back({0, 0, DisplayWidth(d, DefaultScreen(d)), DisplayHeight(d, DefaultScreen(d))});
    return out;
}

// The hints _MOTIF_WM_HINTS held before the frame was dropped, per window.
struct SavedFrameHints {
    bool present = false;
    Atom type = None;
    std::vector<long> items;
};
std::map<Window, SavedFrameHints>& savedFrames() {
    static std::map<Window, SavedFrameHints> saved;
    return saved;
}

// Following a window's geometry for windowPlacement(): the window manager
// tells every move and resize in ConfigureNotify events, which pile up on our
// connection and are read whenever the placement is asked for. The newest
// geometries are kept; the one before a maximise is the restored geometry.
//
// A move is announced with the client's position on the screen; the place we
// keep is the frame's corner, so each move is converted with the frame as it
// was when the move happened, not as it is when the events are read: a
// maximised frame is thinner than the one of the restored window, and reading
// today's frame for yesterday's move shifts the saved place by that
// difference. The window manager announces every change of
// _NET_FRAME_EXTENTS with a PropertyNotify in the same stream, before the
// move it makes with the new frame, so the extents are followed in that
// order. Without _NET_FRAME_EXTENTS the client's place inside its frame (a
// real ConfigureNotify relative to the frame) stands in for them.
struct PlacementWatch {
    Window window = 0;
    bool reparented = false;
    int insideX = 0, insideY = 0;  // the client's place inside the frame, as of the last event read
    Atom extentsAtom = None;
    bool extentsKnown = false;       // the window manager publishes _NET_FRAME_EXTENTS
    int extentLeft = 0, extentTop = 0;  // as of the last event read
    std::vector<ScreenRect> history;
    // Part of the window was uncovered, it was mapped again, moved or
    // resized: the launcher, which draws only when something changed, must
    // draw once more.
    bool exposed = false;
};
PlacementWatch& placementWatch() {
    static PlacementWatch watch;
    return watch;
}

void rememberGeometry(const ScreenRect& r) {
    auto& history = placementWatch().history;
    if (r.width <= 0 || r.height <= 0) return;
    if (!history.empty() && history.back() == r) return;
    history.push_back(r);
    constexpr std::size_t kKept = 16;
    if (history.size() > kKept) history.erase(history.begin());
}

// The client's place inside its frame now (0, 0 without a frame).
void placeInsideFrame(Display* d, Window w, bool reparented, int& x, int& y) {
    x = y = 0;
    XWindowAttributes attributes{};
    if (reparented && XGetWindowAttributes(d, w, &attributes)) {
        x = attributes.x;
        y = attributes.y;
    }
}

// The extents as they are now; called when the window manager announced a
// change, so they hold from that event on.
void readFrameExtents(PlacementWatch& watch) {
    const auto extents = frameExtents(watch.window);
    watch.extentsKnown = !extents.empty();
    watch.extentLeft = watch.extentsKnown ? static_cast<int>(extents[0]) : 0;
    watch.extentTop = watch.extentsKnown ? static_cast<int>(extents[2]) : 0;
}

void drainPlacementEvents() {
    Display* d = display();
    auto& watch = placementWatch();
    if (d == nullptr || watch.window == 0) return;
    ErrorTrap trap(d);
    while (XPending(d) > 0) {
        XEvent event;
        XNextEvent(d, &event);
        if (event.type == ReparentNotify && event.xreparent.window == watch.window) {
            watch.reparented = event.xreparent.parent != DefaultRootWindow(d);
            watch.insideX = watch.reparented ? event.xreparent.x : 0;
            watch.insideY = watch.reparented ? event.xreparent.y : 0;
        } else if (event.type == PropertyNotify && event.xproperty.window == watch.window &&
                   event.xproperty.atom == watch.extentsAtom) {
            readFrameExtents(watch);
        } else if ((event.type == Expose && event.xexpose.window == watch.window) ||
                   (event.type == MapNotify && event.xmap.window == watch.window)) {
            watch.exposed = true;
        } else if (event.type == DestroyNotify && event.xdestroywindow.window == watch.window) {
            watch = {};
            return;
        } else if (event.type == ConfigureNotify && event.xconfigure.window == watch.window) {
            watch.exposed = true;
            ScreenRect r = watch.history.empty() ? ScreenRect{} : watch.history.back();
            r.width = event.xconfigure.width;
            r.height = event.xconfigure.height;
            if (event.xconfigure.send_event) {
                // Sent by the window manager: root coordinates of the client.
                r.x = event.xconfigure.x - (watch.extentsKnown ? watch.extentLeft : watch.insideX);
                r.y = event.xconfigure.y - (watch.extentsKnown ? watch.extentTop : watch.insideY);
            } else if (!watch.reparented) {
                r.x = event.xconfigure.x;
                r.y = event.xconfigure.y;
            } else {
                // From the server: the client's place inside the frame changed
                // (the frame grew or lost its borders), or only its size did.
                watch.insideX = event.xconfigure.x;
                watch.insideY = event.xconfigure.y;
            }
            rememberGeometry(r);
        }
    }
}

}  // namespace

ScreenRect windowRect(NativeWindow window) {
    Display* d = display();
    if (d == nullptr || window == 0) return {};
    ErrorTrap trap(d);
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(d, window, &attributes)) return {};
    int rootX = 0, rootY = 0;
    Window child = 0;
    XTranslateCoordinates(d, window, DefaultRootWindow(d), 0, 0, &rootX, &rootY, &child);
    ScreenRect r{rootX, rootY, attributes.width, attributes.height};
    const auto extents = frameExtents(window);
    if (!extents.empty()) {
        r.x -= static_cast<int>(extents[0]);
        r.y -= static_cast<int>(extents[2]);
    } else if (const Window frame = topLevelOf(d, window); frame != window) {
        XWindowAttributes frameAttributes{};
        if (XGetWindowAttributes(d, frame, &frameAttributes)) {
            r.x = frameAttributes.x;
            r.y = frameAttributes.y;
        }
    }
    if (trap.failed()) return {};
    return r;
}

ScreenRect monitorRectFor(NativeWindow window) {
    const auto monitors = monitorRects();
    const int index = pickMonitor(monitors, windowRect(window));
    return index >= 0 ? monitors[static_cast<std::size_t>(index)] : ScreenRect{};
}

ScreenRect workAreaFor(NativeWindow window) {
    drainPlacementEvents();
    const ScreenRect monitor = monitorRectFor(window);
    Display* d = display();
    if (d == nullptr || !windowManagerRunning()) return monitor;
    const Window root = DefaultRootWindow(d);
    const auto areas = longProperty(root, "_NET_WORKAREA", XA_CARDINAL);
    const auto current = longProperty(root, "_NET_CURRENT_DESKTOP", XA_CARDINAL);
    std::size_t desktop = current.empty() || current[0] < 0 ? 0 : static_cast<std::size_t>(current[0]);
    if (areas.size() < 4 * (desktop + 1)) desktop = 0;
    if (areas.size() < 4) return monitor;
    const ScreenRect area{static_cast<int>(areas[4 * desktop]), static_cast<int>(areas[4 * desktop + 1]),
                          static_cast<int>(areas[4 * desktop + 2]), static_cast<int>(areas[4 * desktop + 3])};
    return workAreaOnMonitor(area, monitor);
}

void moveResizeWindow(NativeWindow window, const ScreenRect& rect) {
    Display* d = display();
    if (d == nullptr || window == 0 || rect.width <= 0 || rect.height <= 0) return;
    ErrorTrap trap(d);
    XMoveResizeWindow(d, window, rect.x, rect.y, static_cast<unsigned>(rect.width),
                      static_cast<unsigned>(rect.height));
}

bool waitForWindowRect(NativeWindow window, const ScreenRect& rect, int timeoutMs) {
    for (int waited = 0;; waited += 10) {
        if (windowRect(window) == rect) {
            // A window manager that moves and resizes the frame at once need
            // not announce the new position to the client: note it here.
            if (placementWatch().window == window) {
                drainPlacementEvents();
                rememberGeometry(rect);
            }
            return true;
        }
        if (waited >= timeoutMs) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

void setWindowFrame(NativeWindow window, bool framed) {
    Display* d = display();
    if (d == nullptr || window == 0) return;
    const Atom hintsAtom = XInternAtom(d, "_MOTIF_WM_HINTS", False);
    auto& saved = savedFrames();
    ErrorTrap trap(d);
    if (!framed) {
        if (saved.count(window) != 0) return;
        SavedFrameHints previous;
        previous.items = longProperty(window, "_MOTIF_WM_HINTS", AnyPropertyType, &previous.type);
        previous.present = !previous.items.empty();
        // flags: functions and decorations given; functions: move, minimise
        // and close (no resizing or maximising through the frame); no decorations.
        constexpr long kFunctionsAndDecorations = 1 | 2;
        constexpr long kMove = 4, kMinimize = 8, kClose = 32;
        long hints[5] = {kFunctionsAndDecorations, kMove | kMinimize | kClose, 0, 0, 0};
        XChangeProperty(d, window, hintsAtom, hintsAtom, 32, PropModeReplace, reinterpret_cast<unsigned char*>(hints),
                        5);
        saved[window] = std::move(previous);
    } else {
        const auto it = saved.find(window);
        if (it == saved.end()) return;
        if (it->second.present) {
            XChangeProperty(d, window, hintsAtom, it->second.type, 32, PropModeReplace,
                            reinterpret_cast<unsigned char*>(it->second.items.data()),
                            static_cast<int>(it->second.items.size()));
        } else {
            XDeleteProperty(d, window, hintsAtom);
        }
        saved.erase(it);
    }
}

bool windowFramed(NativeWindow window) { return savedFrames().count(window) == 0; }

bool setFullscreenState(NativeWindow window, bool fullscreen) {
    if (!windowManagerRunning()) return false;
    sendState(window, fullscreen ? 1 : 0, "_NET_WM_STATE_FULLSCREEN", nullptr);
    return true;
}

void unmaximizeWindow(NativeWindow window) {
    if (!windowManagerRunning()) return;
    sendState(window, 0, "_NET_WM_STATE_MAXIMIZED_VERT", "_NET_WM_STATE_MAXIMIZED_HORZ");
}

void activateWindow(NativeWindow window) {
    Display* d = display();
    if (d == nullptr || window == 0) return;
    const bool managed = windowManagerRunning();
    ErrorTrap trap(d);
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(d, window, &attributes)) return;
    if (managed) {
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = window;
        event.xclient.message_type = XInternAtom(d, "_NET_ACTIVE_WINDOW", False);
        event.xclient.format = 32;
        event.xclient.data.l[0] = 1;  // a request from the application itself
        event.xclient.data.l[1] = CurrentTime;
        XSendEvent(d, DefaultRootWindow(d), False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
    } else {
        XRaiseWindow(d, window);
        if (attributes.map_state == IsViewable) XSetInputFocus(d, window, RevertToParent, CurrentTime);
    }
}

void watchWindowPlacement(NativeWindow window) {
    Display* d = display();
    auto& watch = placementWatch();
    if (d == nullptr || window == 0 || watch.window == window) return;
    ErrorTrap trap(d);
    // Selected before anything is read, so that no later change is missed.
    XSelectInput(d, window, StructureNotifyMask | ExposureMask | PropertyChangeMask);
    watch = {};
    watch.window = window;
    watch.extentsAtom = XInternAtom(d, "_NET_FRAME_EXTENTS", False);
    readFrameExtents(watch);
    watch.reparented = topLevelOf(d, window) != window;
    placeInsideFrame(d, window, watch.reparented, watch.insideX, watch.insideY);
    if (trap.failed()) {
        watch = {};
        return;
    }
    rememberGeometry(windowRect(window));
}

bool takeWindowExposed(NativeWindow window) {
    Display* d = display();
    auto& watch = placementWatch();
    if (d == nullptr || watch.window == 0 || watch.window != window) return false;
    // Asked on every turn of the main loop: only a queued event costs a drain.
    if (XPending(d) > 0) drainPlacementEvents();
    return std::exchange(watch.exposed, false);
}

ScreenRect restoredPlacement(NativeWindow window, bool maximized) {
    auto& watch = placementWatch();
    if (watch.window == 0 || watch.window != window) return windowRect(window);
    drainPlacementEvents();
    const ScreenRect now = windowRect(window);
    if (!maximized) {
        rememberGeometry(now);
        return now;
    }
    return restoredGeometry(watch.history, now);
}

Display* ownDisplay() { return display(); }

}  // namespace ludexa
