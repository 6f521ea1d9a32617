// The main loop's one way to rest: sleep until something happens. The wait
// ends when the window system has an event for the launcher's window, a worker
// thread published a result (wakeMainLoop), a device appeared in or left
// /dev/input (a gamepad), an extra descriptor became readable (a signal's
// self-pipe), or the timeout passed. An untouched launcher thus costs no CPU.
#pragma once

#include <SFML/System/Time.hpp>

#include <memory>
#include <optional>

namespace ludexa {

// Ends the main loop's current or next wait. Any thread may call it at any
// time; workers call it after publishing a result for the main thread.
void wakeMainLoop();

class EventWait {
public:
    EventWait();  // starts watching /dev/input
    ~EventWait();
    EventWait(const EventWait&) = delete;
    EventWait& operator=(const EventWait&) = delete;

    // Descriptors that end the wait when readable. Their owner keeps them open
    // while listed, and reads them; a wait does not.
    void addDescriptor(int fd);
    void removeDescriptor(int fd);

    // Waits for the window `window` (its X id) to have an event, or for one
    // of the other wake-ups, at most `timeout` (none: as long as it takes).
    // Returns at once when an event is already queued.
    void wait(unsigned long window, std::optional<sf::Time> timeout);

    // Whether an input device appeared or went since the last call.
    bool takeDevicesChanged();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace ludexa
