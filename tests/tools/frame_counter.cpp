// Counts the frames a window presents, seen from outside the program through
// the X DAMAGE extension, so neither the launcher nor its build changes for
// the count. Every time new pixels reach the window after the last count is
// one frame; damage that arrives within a few milliseconds of the previous
// damage belongs to the same frame (a large picture may reach the server in
// several requests).
//   frame_counter <window id> <seconds>    prints the number of frames
#include <X11/Xlib.h>
#include <X11/extensions/Xdamage.h>
#include <poll.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

struct DisplayCloser {
    void operator()(Display* d) const { XCloseDisplay(d); }
};

int g_badWindow = 0;
int onError(Display*, XErrorEvent* event) {
    g_badWindow = event->error_code;
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s <window id> <seconds>\n", argv[0]);
        return 2;
    }
    const Window window = std::strtoul(argv[1], nullptr, 0);
    const double seconds = std::atof(argv[2]);
    std::unique_ptr<Display, DisplayCloser> display(XOpenDisplay(nullptr));
    if (!display) {
        std::fprintf(stderr, "no X display\n");
        return 2;
    }
    Display* d = display.get();
    int eventBase = 0, errorBase = 0;
    if (!XDamageQueryExtension(d, &eventBase, &errorBase)) {
        std::fprintf(stderr, "the X server has no DAMAGE extension\n");
        return 2;
    }
    XSetErrorHandler(onError);
    const Damage damage = XDamageCreate(d, window, XDamageReportNonEmpty);
    XSync(d, False);
    if (g_badWindow != 0) {
        std::fprintf(stderr, "window %s cannot be watched\n", argv[1]);
        return 2;
    }

    // A new damage object reports the window's whole content once: that is no frame.
    XDamageSubtract(d, damage, None, None);
    XSync(d, False);
    while (XPending(d) > 0) {
        XEvent event;
        XNextEvent(d, &event);
    }

    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    const auto end = start + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
    constexpr auto kSameFrame = std::chrono::milliseconds(5);
    auto lastDamage = start - std::chrono::seconds(1);
    long frames = 0;
    while (Clock::now() < end) {
        while (XPending(d) > 0) {
            XEvent event;
            XNextEvent(d, &event);
            if (event.type != eventBase + XDamageNotify) continue;
            XDamageSubtract(d, damage, None, None);
            const auto now = Clock::now();
            if (now - lastDamage > kSameFrame) ++frames;
            lastDamage = now;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
        if (left <= 0) break;
        pollfd fd{ConnectionNumber(d), POLLIN, 0};
        poll(&fd, 1, static_cast<int>(left));
    }
    XDamageDestroy(d, damage);
    std::printf("%ld\n", frames);
    return 0;
}
