// EventWait on Linux: poll() on the X connections, an eventfd the workers
// write to, an inotify descriptor on /dev/input and the caller's descriptors.
#include "platform/event_wait.h"

#include <GL/glx.h>
#include <X11/Xlib.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

#include "platform/linux/unique_fd.h"
#include "platform/linux/x_display.h"

namespace ludexa {
namespace {

constexpr const char* kInputDirectory = "/dev/input";
constexpr std::uint32_t kDeviceEvents = IN_CREATE | IN_DELETE | IN_ATTRIB | IN_MOVED_TO | IN_MOVED_FROM;
// Without the SFML window's connection (no current GL context) the loop must
// look for events by itself, as often as it did before it could sleep.
constexpr int kBlindPollMs = 10;

int wakeDescriptor() {
    static const UniqueFd fd(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC));
    return fd.get();
}

struct WindowEventSeen {
    Window window;
    bool seen = false;
};

// Looks at the queue without taking anything out: SFML takes only the events of
// its window (and the clipboard's selection traffic), so other events that
// happen to sit in the queue must not keep the loop awake.
Bool noteWindowEvent(Display*, XEvent* event, XPointer arg) {
    auto* look = reinterpret_cast<WindowEventSeen*>(arg);
    switch (event->type) {
        case SelectionRequest:
        case SelectionClear:
        case SelectionNotify: look->seen = true; break;
        default:
            if (event->xany.window == look->window) look->seen = true;
    }
    return False;
}

// Flushes what the launcher asked of the server, reads what already arrived
// and tells whether an event for `window` waits in the queue.
bool windowEventQueued(Display* display, Window window) {
    WindowEventSeen look{window};
    XEvent unused;
    (void)XCheckIfEvent(display, &unused, noteWindowEvent, reinterpret_cast<XPointer>(&look));
    return look.seen;
}

}  // namespace

void wakeMainLoop() {
    const std::uint64_t one = 1;
    // A full counter (never in practice) still leaves the descriptor readable.
    if (wakeDescriptor() >= 0) (void)!::write(wakeDescriptor(), &one, sizeof one);
}

struct EventWait::Impl {
    UniqueFd inotify{inotify_init1(IN_NONBLOCK | IN_CLOEXEC)};
    bool watchingInput = false;  // else /dev is watched for /dev/input to appear
    bool devicesChanged = false;
    std::vector<int> extra;

    void watch() {
        if (inotify.get() < 0) return;
        watchingInput = inotify_add_watch(inotify.get(), kInputDirectory, kDeviceEvents) >= 0;
        // A machine that has never had an input device has no /dev/input yet.
        if (!watchingInput) (void)inotify_add_watch(inotify.get(), "/dev", IN_CREATE | IN_MOVED_TO);
    }

    void readDeviceEvents() {
        alignas(inotify_event) char buffer[4096];
        for (;;) {
            const ssize_t n = ::read(inotify.get(), buffer, sizeof buffer);
            if (n <= 0) break;
            for (ssize_t at = 0; at < n;) {
                const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
                at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
                if (watchingInput) {
                    devicesChanged = true;
                } else if (event->len > 0 && std::strcmp(event->name, "input") == 0) {
                    watch();
                    devicesChanged = true;
                }
            }
        }
    }
};

EventWait::EventWait() : impl_(std::make_unique<Impl>()) {
    impl_->watch();
    (void)wakeDescriptor();
}

EventWait::~EventWait() = default;

void EventWait::addDescriptor(int fd) {
    if (fd >= 0 && std::find(impl_->extra.begin(), impl_->extra.end(), fd) == impl_->extra.end())
        impl_->extra.push_back(fd);
}

void EventWait::removeDescriptor(int fd) { std::erase(impl_->extra, fd); }

bool EventWait::takeDevicesChanged() { return std::exchange(impl_->devicesChanged, false); }

void EventWait::wait(unsigned long window, std::optional<sf::Time> timeout) {
    std::vector<pollfd> fds;
    // SFML reads its window's events on the connection its GL contexts use.
    if (Display* sfmlDisplay = glXGetCurrentDisplay()) {
        if (windowEventQueued(sfmlDisplay, static_cast<Window>(window))) return;
        fds.push_back({ConnectionNumber(sfmlDisplay), POLLIN, 0});
    } else if (!timeout || timeout->asMilliseconds() > kBlindPollMs) {
        timeout = sf::milliseconds(kBlindPollMs);
    }
    // The connection that follows the window's placement and exposure.
    if (Display* own = ownDisplay()) {
        if (XEventsQueued(own, QueuedAfterFlush) > 0) return;
        fds.push_back({ConnectionNumber(own), POLLIN, 0});
    }
    const int wakeFd = wakeDescriptor();
    if (wakeFd >= 0) fds.push_back({wakeFd, POLLIN, 0});
    if (impl_->inotify.get() >= 0) fds.push_back({impl_->inotify.get(), POLLIN, 0});
    for (int fd : impl_->extra) fds.push_back({fd, POLLIN, 0});

    // Rounded up: waking a little early would find nothing due and wait again.
    const int ms = timeout ? static_cast<int>(std::ceil(std::max<sf::Int64>(0, timeout->asMicroseconds()) / 1000.0)) : -1;
    if (::poll(fds.data(), fds.size(), ms) <= 0) return;  // timeout, or a signal
    std::uint64_t count = 0;
    if (wakeFd >= 0) (void)!::read(wakeFd, &count, sizeof count);
    if (impl_->inotify.get() >= 0) impl_->readDeviceEvents();
}

}  // namespace ludexa
