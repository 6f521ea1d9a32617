// Rectangle arithmetic behind the display modes and the saved window
// placement; no display needed, so the rules are tested on their own.
#include <algorithm>
#include <climits>
#include <cstdint>

#include "platform/window.h"

namespace ludexa {
namespace {

std::int64_t area(const ScreenRect& r) {
    return r.width > 0 && r.height > 0 ? std::int64_t{r.width} * r.height : 0;
}

// Squared distance from a point to the rectangle (0 inside).
std::int64_t distanceSquared(const ScreenRect& r, std::int64_t px, std::int64_t py) {
    const std::int64_t dx = px < r.x ? r.x - px : (px > r.x + r.width ? px - (r.x + r.width) : 0);
    const std::int64_t dy = py < r.y ? r.y - py : (py > r.y + r.height ? py - (r.y + r.height) : 0);
    return dx * dx + dy * dy;
}

}  // namespace

ScreenRect intersectRects(const ScreenRect& a, const ScreenRect& b) {
    const int left = std::max(a.x, b.x);
    const int top = std::max(a.y, b.y);
    const int right = std::min(a.x + a.width, b.x + b.width);
    const int bottom = std::min(a.y + a.height, b.y + b.height);
    if (right <= left || bottom <= top) return {};
    return {left, top, right - left, bottom - top};
}

int pickMonitor(const std::vector<ScreenRect>& monitors, const ScreenRect& window) {
    int best = -1;
    std::int64_t bestArea = 0;
    for (std::size_t i = 0; i < monitors.size(); ++i) {
        const auto overlap = area(intersectRects(monitors[i], window));
        if (overlap > bestArea) {
            bestArea = overlap;
            best = static_cast<int>(i);
        }
    }
    if (best >= 0) return best;
    // Entirely off every monitor: the one nearest to the window's centre.
    const std::int64_t cx = window.x + window.width / 2;
    const std::int64_t cy = window.y + window.height / 2;
    std::int64_t bestDistance = INT64_MAX;
    for (std::size_t i = 0; i < monitors.size(); ++i) {
        const auto d = distanceSquared(monitors[i], cx, cy);
        if (d < bestDistance) {
            bestDistance = d;
            best = static_cast<int>(i);
        }
    }
    return best;
}

ScreenRect workAreaOnMonitor(const ScreenRect& workArea, const ScreenRect& monitor) {
    const ScreenRect both = intersectRects(workArea, monitor);
    return area(both) > 0 ? both : monitor;
}

ScreenRect restoredGeometry(const std::vector<ScreenRect>& history, const ScreenRect& maximized) {
    for (auto it = history.rbegin(); it != history.rend(); ++it)
        if (it->width != maximized.width || it->height != maximized.height) return *it;
    return maximized;
}

}  // namespace ludexa
