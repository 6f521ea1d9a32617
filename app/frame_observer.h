// A hook called after every presented frame. The program leaves it unset; the
// start-up and scrolling measurements under bench/ install one to time frames.
#pragma once

namespace ludexa {

class GameLauncher;

struct FrameReport {
    // Every visible cell shows its final icon or its first-letter fallback.
    bool complete = false;
};

using FrameObserver = void (*)(GameLauncher& launcher, const FrameReport& report);
extern FrameObserver g_frameObserver;

}  // namespace ludexa
