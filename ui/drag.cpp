#include "ui/drag.h"

#include <algorithm>
#include <cmath>

namespace ludexa {

float splitterSize(const Panels& p, Splitter which) {
    switch (which) {
        case Splitter::Toolbar: return p.toolbarHeight;
        case Splitter::Panel: return p.leftPanelWidth;
        case Splitter::Text: return p.leftTopHeight;
        case Splitter::None: break;
    }
    return 0;
}

float splitterAfterDrag(const Panels& p, Splitter which, float start, float delta) {
    switch (which) {
        case Splitter::Toolbar: return clampToolbarHeight(start + delta, p.windowHeight);
        case Splitter::Panel: return clampLeftPanelWidth(start + delta, p.windowWidth);
        case Splitter::Text: return clampPictureHeight(start + delta, p.windowHeight, p.gridTop());
        case Splitter::None: break;
    }
    return start;
}

bool gridPressBecomesDrag(float dx, float dy) { return dx * dx + dy * dy >= 900; }

float gridDragScroll(float pressScroll, float dy, float maxScroll) {
    return std::clamp(pressScroll - dy, 0.0f, std::max(0.0f, maxScroll));
}

float flingVelocity(float previous, float dy, int elapsedMs) {
    return elapsedMs >= 1 ? dy * 2000.0f / static_cast<float>(elapsedMs) : previous;
}

bool flingStarts(float velocity) { return std::fabs(velocity) > 50; }

}  // namespace ludexa
