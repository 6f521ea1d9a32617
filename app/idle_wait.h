// How long an awake main loop with no frame due may sleep. It sleeps until the
// nearest moment something is scheduled (a frame, falling asleep), and without
// any limit when nothing is: the window's events, the workers' results and a
// new input device end the wait by themselves (platform/event_wait.h). What
// cannot announce itself is polled: a connected gamepad's buttons and sticks,
// the counting window's GTK events, and a device that just appeared, until
// the gamepad rescan has seen it.
#pragma once

#include <SFML/System/Time.hpp>

#include <optional>

namespace ludexa {

// After a change in /dev/input the loop keeps polling this long, so that the
// gamepad rescan, which runs every two seconds, sees the new device.
inline constexpr float kDeviceSettleSeconds = 3.0f;

struct IdleFacts {
    sf::Time now;                        // the frame schedule's clock
    std::optional<sf::Time> nextFrame;   // the schedule's nearest deadline
    std::optional<sf::Time> autoSleepAt; // when auto-sleep falls due, if it can
    bool gamepadConnected = false;
    bool nativeWindowOpen = false;
    bool devicesSettling = false;
    sf::Time poll;  // one frame period (pollInterval)
};

// The longest the loop may wait; none: until something happens.
std::optional<sf::Time> idleTimeout(const IdleFacts& facts);

}  // namespace ludexa
