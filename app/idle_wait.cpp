// The awake loop's rest between frames: idleTimeout's rule and the launcher's
// wait, kept apart from run() so the loop itself stays one readable page.
#include "app/idle_wait.h"

#include <algorithm>

#include "app/GameLauncher.h"
#include "app/main_loop.h"
#include "platform/event_wait.h"
#include "platform/shutdown_signal.h"

namespace ludexa {

std::optional<sf::Time> idleTimeout(const IdleFacts& facts) {
    std::optional<sf::Time> timeout;
    const auto consider = [&timeout](sf::Time t) { timeout = timeout ? std::min(*timeout, t) : t; };
    if (facts.nextFrame) consider(std::max(sf::Time::Zero, *facts.nextFrame - facts.now));
    if (facts.autoSleepAt) consider(std::max(sf::Time::Zero, *facts.autoSleepAt - facts.now));
    if (facts.gamepadConnected || facts.nativeWindowOpen || facts.devicesSettling) consider(facts.poll);
    return timeout;
}

void GameLauncher::waitForWork(sf::Time now) {
    if (!eventWait) {
        eventWait = std::make_unique<EventWait>();
        // A logout's signal ends the rest at once, however far the deadline.
        if (shutdownSignalDescriptor() >= 0) eventWait->addDescriptor(shutdownSignalDescriptor());
    }
    if (eventWait->takeDevicesChanged()) deviceChangeClock.restart(), deviceChangeSeen = true;
    if (deviceChangeSeen && deviceChangeClock.getElapsedTime().asSeconds() >= kDeviceSettleSeconds)
        deviceChangeSeen = false;
    IdleFacts facts;
    facts.now = now;
    facts.nextFrame = frames.nextDeadline();
    if (settings.sleepEnabled && settings.sleepAutoMinute)
        facts.autoSleepAt = now + sf::seconds(kAutoSleepSeconds) - idleClock.getElapsedTime();
    facts.gamepadConnected = !gamepad.connected.empty();
    facts.nativeWindowOpen = nativeWindowOpen();
    facts.devicesSettling = deviceChangeSeen;
    facts.poll = pollInterval(settings.framerate_fps);
    eventWait->wait(nativeHandle(), idleTimeout(facts));
    if (eventWait->takeDevicesChanged()) deviceChangeClock.restart(), deviceChangeSeen = true;
}

}  // namespace ludexa
