// The launcher with a frame observer, for the start-up and scrolling figures.
// Run it in a portable folder; it writes trace.txt beside itself:
//   first_frame_ns <CLOCK_REALTIME of the first complete frame>
//   rss_kb <resident memory then>
//   textures <icon textures held then>
// With LUDEXA_TRACE_SCROLL=<frames> it then scrolls the grid from top to
// bottom over that many frames and adds the frame intervals:
//   frames <n> period_ms <cap> max_ms <worst> over_cap <frames slower than 1.25 x the cap>
#include <SFML/System/Err.hpp>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <string>
#include <vector>

#include "app/GameLauncher.h"
#include "app/frame_observer.h"
#include "library/database.h"
#include "platform/dialogs.h"
#include "platform/paths.h"
#include "platform/window.h"

namespace {

long residentKb() {
    std::ifstream status("/proc/self/status");
    std::string key;
    long value = 0;
    while (status >> key) {
        if (key == "VmRSS:") {
            status >> value;
            return value;
        }
        status.ignore(4096, '\n');
    }
    return 0;
}

struct Trace {
    bool firstDone = false;
    int scrollFrames = 0;
    int scrolled = 0;
    std::chrono::steady_clock::time_point last;
    std::vector<double> intervals;
};
Trace g_trace;

// A frame asked for from inside a frame. The loop marks what was due as drawn
// once this frame is shown, and of two moments named for one reason the
// earlier holds: so the due reasons are marked drawn here first (this frame
// is being shown), then the next frame is named for just after it.
void requestNextFrame(ludexa::GameLauncher& launcher) {
    const sf::Time now = launcher.frameTimeline.getElapsedTime();
    launcher.frames.drawn(now);
    launcher.frames.requestAt(ludexa::FrameReason::Input, now + sf::milliseconds(1));
}

void observe(ludexa::GameLauncher& launcher, const ludexa::FrameReport& report) {
    const auto now = std::chrono::steady_clock::now();
    std::ofstream out(ludexa::getExeDirectory() + "trace.txt", std::ios::app);
    if (!g_trace.firstDone) {
        if (!report.complete) return;
        g_trace.firstDone = true;
        timespec ts{};
        clock_gettime(CLOCK_REALTIME, &ts);
        out << "first_frame_ns " << static_cast<long long>(ts.tv_sec) * 1000000000LL + ts.tv_nsec << "\n"
            << "rss_kb " << residentKb() << "\n"
            << "textures " << launcher.iconTextureCount() << "\n";
        if (g_trace.scrollFrames <= 0) {
            launcher.window.close();
        } else {
            requestNextFrame(launcher);
        }
        g_trace.last = now;
        return;
    }
    g_trace.intervals.push_back(std::chrono::duration<double, std::milli>(now - g_trace.last).count());
    g_trace.last = now;
    if (g_trace.scrolled < g_trace.scrollFrames) {
        ++g_trace.scrolled;
        launcher.gridInput.scrollOffset = launcher.gridInput.maxScroll * g_trace.scrolled / g_trace.scrollFrames;
        // The launcher draws only when asked: the scroll stands in for a drag.
        requestNextFrame(launcher);
        return;
    }
    const double period = 1000.0 / std::max(1, launcher.settings.framerate_fps);
    const double worst = *std::max_element(g_trace.intervals.begin(), g_trace.intervals.end());
    const auto over = std::count_if(g_trace.intervals.begin(), g_trace.intervals.end(),
                                    [period](double ms) { return ms > 1.25 * period; });
    out << "frames " << g_trace.intervals.size() << " period_ms " << period << " max_ms " << worst << " over_cap "
        << over << " rss_kb " << residentKb() << " textures " << launcher.iconTextureCount() << "\n";
    launcher.window.close();
}

}  // namespace

int main() {
    sf::err().rdbuf(nullptr);
    if (const char* frames = std::getenv("LUDEXA_TRACE_SCROLL")) g_trace.scrollFrames = std::atoi(frames);
    ludexa::g_frameObserver = observe;
    ludexa::initDialogs();
    if (!ludexa::initDatabase()) return 1;
    ludexa::prepareClipboard();
    ludexa::GameLauncher launcher;
    launcher.run();
    return 0;
}
