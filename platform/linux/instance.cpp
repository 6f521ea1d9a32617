// The folder lock (flock) and the X property through which a second start
// finds the first launcher's window.
#include "platform/instance.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <vector>

namespace ludexa {

InstanceLock::InstanceLock(const std::string& dataDirectory) : path_(dataDirectory + ".lock") { take(); }

InstanceLock::~InstanceLock() {
    if (fd_ >= 0) ::close(fd_);
}

void InstanceLock::take() {
    other_ = false;
    if (fd_ < 0) fd_ = ::open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd_ < 0) return;
    while (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EINTR) continue;
        if (errno == EWOULDBLOCK) {
            other_ = true;
        } else {
            ::close(fd_);
            fd_ = -1;
        }
        return;
    }
}

bool InstanceLock::retry() {
    if (other_) take();
    return !other_;
}

namespace {

constexpr const char* kFolderProperty = "_LUDEXA_DATA_FOLDER";

struct DisplayCloser {
    void operator()(Display* d) const { XCloseDisplay(d); }
};
using DisplayPtr = std::unique_ptr<Display, DisplayCloser>;

struct XFreeDeleter {
    void operator()(void* p) const {
        if (p != nullptr) XFree(p);
    }
};

// A window of another client may vanish between two requests.
int ignoreErrors(Display*, XErrorEvent*) { return 0; }

std::vector<unsigned char> property(Display* d, Window w, Atom name, Atom type, int format) {
    Atom actualType = None;
    int actualFormat = 0;
    unsigned long count = 0, after = 0;
    unsigned char* raw = nullptr;
    if (XGetWindowProperty(d, w, name, 0, 4096, False, type, &actualType, &actualFormat, &count, &after, &raw) !=
        Success)
        return {};
    std::unique_ptr<unsigned char, XFreeDeleter> data(raw);
    if (raw == nullptr || actualType != type || actualFormat != format) return {};
    const std::size_t bytes = format == 32 ? count * sizeof(long) : count;
    return {raw, raw + bytes};
}

std::vector<Window> windowList(Display* d, Window w, Atom name) {
    const auto bytes = property(d, w, name, XA_WINDOW, 32);
    std::vector<Window> windows(bytes.size() / sizeof(long));
    for (std::size_t i = 0; i < windows.size(); ++i) {
        long item = 0;
        std::memcpy(&item, bytes.data() + i * sizeof(long), sizeof item);
        windows[i] = static_cast<Window>(item);
    }
    return windows;
}

// The windows that may be the launcher's: the window manager's clients, or
// without one the root's children and theirs (a frame holds the client).
std::vector<Window> candidateWindows(Display* d) {
    const Window root = DefaultRootWindow(d);
    auto clients = windowList(d, root, XInternAtom(d, "_NET_CLIENT_LIST", False));
    if (!clients.empty()) return clients;
    std::vector<Window> found;
    auto children = [&](Window parent) {
        Window rootReturn = 0, parentReturn = 0;
        Window* list = nullptr;
        unsigned int count = 0;
        std::vector<Window> out;
        if (XQueryTree(d, parent, &rootReturn, &parentReturn, &list, &count) != 0 && list != nullptr)
            out.assign(list, list + count);
        if (list != nullptr) XFree(list);
        return out;
    };
    for (const Window top : children(root)) {
        found.push_back(top);
        for (const Window inner : children(top)) found.push_back(inner);
    }
    return found;
}

bool windowManagerRunning(Display* d) {
    const Atom check = XInternAtom(d, "_NET_SUPPORTING_WM_CHECK", False);
    const auto onRoot = windowList(d, DefaultRootWindow(d), check);
    if (onRoot.size() != 1 || onRoot[0] == 0) return false;
    const auto onSelf = windowList(d, onRoot[0], check);
    return onSelf.size() == 1 && onSelf[0] == onRoot[0];
}

}  // namespace

void markInstanceWindow(NativeWindow window, const std::string& dataDirectory) {
    if (window == 0) return;
    DisplayPtr d(XOpenDisplay(nullptr));
    if (!d) return;
    XChangeProperty(d.get(), window, XInternAtom(d.get(), kFolderProperty, False),
                    XInternAtom(d.get(), "UTF8_STRING", False), 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(dataDirectory.data()), static_cast<int>(dataDirectory.size()));
    XSync(d.get(), False);
}

bool activateInstanceWindow(const std::string& dataDirectory) {
    DisplayPtr d(XOpenDisplay(nullptr));
    if (!d) return false;
    const XErrorHandler previous = XSetErrorHandler(ignoreErrors);
    const Atom folderProperty = XInternAtom(d.get(), kFolderProperty, False);
    const Atom utf8 = XInternAtom(d.get(), "UTF8_STRING", False);
    Window found = 0;
    for (const Window w : candidateWindows(d.get())) {
        const auto value = property(d.get(), w, folderProperty, utf8, 8);
        if (std::string(value.begin(), value.end()) == dataDirectory) {
            found = w;
            break;
        }
    }
    if (found != 0) {
        if (windowManagerRunning(d.get())) {
            // Asked for as the user's own wish (source 2, as a task bar
            // does): the window manager restores a minimised window, raises
            // it and gives it the focus, without focus-stealing checks.
            XEvent event{};
            event.xclient.type = ClientMessage;
            event.xclient.window = found;
            event.xclient.message_type = XInternAtom(d.get(), "_NET_ACTIVE_WINDOW", False);
            event.xclient.format = 32;
            event.xclient.data.l[0] = 2;
            event.xclient.data.l[1] = CurrentTime;
            XSendEvent(d.get(), DefaultRootWindow(d.get()), False, SubstructureRedirectMask | SubstructureNotifyMask,
                       &event);
        } else {
            XMapRaised(d.get(), found);
            XSync(d.get(), False);
            XSetInputFocus(d.get(), found, RevertToParent, CurrentTime);
        }
    }
    XSync(d.get(), False);
    XSetErrorHandler(previous);
    return found != 0;
}

}  // namespace ludexa
