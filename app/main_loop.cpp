// The main loop: one frame per iteration while awake, a slow poll while asleep.
#include "app/main_loop.h"

#include <SFML/System/Sleep.hpp>
#include <SFML/Window/Event.hpp>

#include <cmath>
#include <thread>

#include "app/GameLauncher.h"
#include "appearance/themes.h"
#include "library/play_watch.h"
#include "platform/shutdown_signal.h"
#include "platform/window.h"

namespace ludexa {

void flingStep(FlingState& f, float maxScroll, int framerate) {
    const float fps = framerate > 0 ? static_cast<float>(framerate) : 30.0f;
    const float decel = kFlingDeceleration / fps;
    f.offset -= f.velocity / fps;
    float next;
    if (f.offset < 0) {
        f.offset = maxScroll < 0 ? maxScroll : 0;
        next = 0;
    } else if (f.offset > maxScroll) {
        f.offset = maxScroll;
        next = 0;
    } else if (f.velocity > 0) {
        next = std::max(0.0f, f.velocity - decel);
    } else {
        next = std::min(0.0f, f.velocity + decel);
    }
    if (std::fabs(next) < kFlingStopSpeed) {
        f.velocity = 0;
        f.active = false;
    } else {
        f.velocity = next;
    }
}

bool autoSleepDue(bool sleepEnabled, bool sleepAutoMinute, float idleSeconds) {
    return sleepEnabled && sleepAutoMinute && idleSeconds >= kAutoSleepSeconds;
}

bool isModifierKey(sf::Keyboard::Key key) {
    switch (key) {
        case sf::Keyboard::LControl:
        case sf::Keyboard::RControl:
        case sf::Keyboard::LShift:
        case sf::Keyboard::RShift:
        case sf::Keyboard::LAlt:
        case sf::Keyboard::RAlt:
        case sf::Keyboard::LSystem:
        case sf::Keyboard::RSystem: return true;
        default: return false;
    }
}

void takeJoystickSnapshot(JoystickSource& source, const std::vector<int>& ids, JoystickSnapshot& snapshot) {
    source.update();
    for (int id : ids) {
        if (id < 0 || id >= static_cast<int>(JoystickSource::kMaxJoysticks)) continue;
        for (unsigned b = 0; b < JoystickSource::kButtonsRead; ++b)
            snapshot[static_cast<std::size_t>(id)][b] = source.isButtonPressed(static_cast<unsigned>(id), b);
    }
}

bool joystickWakes(JoystickSource& source, const std::vector<int>& ids, JoystickSnapshot& snapshot) {
    source.update();
    bool wake = false;
    for (int id : ids) {
        if (id < 0 || id >= static_cast<int>(JoystickSource::kMaxJoysticks)) continue;
        for (unsigned b = 0; b < JoystickSource::kButtonsRead; ++b) {
            const bool pressed = source.isButtonPressed(static_cast<unsigned>(id), b);
            auto& was = snapshot[static_cast<std::size_t>(id)][b];
            if (pressed && !was) wake = true;
            was = pressed;
        }
    }
    return wake;
}

void GameLauncher::enterSleep() {
    takeJoystickSnapshot(*joysticks, gamepad.connected, joystickButtonSnapshot);
    isSleeping = true;
    idleClock.restart();
}

void GameLauncher::drawSleepScreen() {
    window.clear(kSleepScreen);
    sf::Text caption(sf::String(L"休眠中，点击任意位置或按任意键恢复"), uiFont, 22);
    caption.setFillColor(kSleepCaption);
    const auto bounds = caption.getLocalBounds();
    caption.setPosition(windowWidth / 2 - bounds.width / 2, windowHeight / 2 - bounds.height / 2);
    window.draw(caption);
    window.display();
}

void GameLauncher::requestFrame(FrameReason why) { frames.request(why); }

void GameLauncher::scheduleAnimations(sf::Time now) {
    const sf::Time kCaretPhase = sf::milliseconds(500);
    const sf::Time kTemporaryExpansion = sf::milliseconds(1000);
    if (categoryTempExpanded)
        frames.requestAt(FrameReason::CategoryCollapse,
                         now + timeLeft(kTemporaryExpansion, categoryTempExpandClock.getElapsedTime()));
    // Only a focused field shows its caret, so only then does the blink show.
    if (searchBox.focused)
        frames.requestAt(FrameReason::CaretBlink, now + timeLeft(kCaretPhase, searchBox.blinkClock.getElapsedTime()));
    if (textBox.focused && textBox.selStart == textBox.selEnd && !textBox.lines.empty())
        frames.requestAt(FrameReason::CaretBlink, now + timeLeft(kCaretPhase, textBox.caretClock.getElapsedTime()));
    if (previewIsGif && mapVisible && !mapFiles.empty())
        if (const auto micros = previewGif.microsUntilDue())
            frames.requestAt(FrameReason::GifFrame, now + sf::microseconds(*micros));
}

void GameLauncher::run() {
    // Closed during construction (no font to draw with): nothing to run.
    if (!window.isOpen()) return;
    joysticks->update();
    gamepad.connected = connectedJoystickIds(*joysticks);
    gamepad.focusActive = !gamepad.connected.empty();
    pictureLoader.start();
    startPlayWatch();
    if (settings.windowX >= 0 && settings.windowY >= 0) window.setPosition({settings.windowX, settings.windowY});
    if (settings.windowMaximized) maximizeWindow(nativeHandle());
    if (settings.startFullscreen) {
        toggleFullscreen();
        if (settings.startDisplayMode == 2) toggleFullscreen();
    }
    frames.request(FrameReason::Shown);
    // The GL driver took the window's size when the context was made current,
    // before the settings resized the window; it reads the size again after a
    // buffer swap. One empty swap now, and the first frame fills the window
    // at the size it has.
    window.clear(kWindowClear);
    window.display();
    presentedSize = window.getSize();

    while (window.isOpen()) {
        // A logout's SIGTERM (or SIGHUP, SIGINT) closes like the window's close
        // button. Awake, the rest between frames wakes on the signal's
        // descriptor; asleep, the loop looks every kSleepPollMs.
        if (shutdownRequested()) {
            saveConfig();
            window.close();
            break;
        }
        if (!isSleeping) {
            // A frame is drawn only when something shown changed; otherwise the
            // loop sleeps until the next deadline or until something happens.
            if (pictureLoader.resultWaiting()) frames.request(FrameReason::PictureArrived);
            checkLoadComplete();
            if (collectBackgroundPicture()) frames.request(FrameReason::PictureArrived);
            collectPlayTime();
            // While the counting window is up the main window takes no input;
            // a resize or close request is still honoured.
            if (nativeWindowOpen()) {
                discardInputAfterModal();
            } else {
                handleEvents();
            }
            serviceNativeWindows();
            if (gridInput.flingActive) {
                // One step per drawn frame: the schedule draws every frame
                // while the fling runs, paced by the frame-rate cap.
                FlingState fling{gridInput.scrollOffset, gridInput.flingVelocity, gridInput.flingActive};
                flingStep(fling, gridInput.maxScroll, settings.framerate_fps);
                gridInput.scrollOffset = fling.offset;
                gridInput.flingVelocity = fling.velocity;
                gridInput.flingActive = fling.active;
                frames.request(FrameReason::Fling);
            }
            handleGamepad();
            if (categoryTempExpanded && categoryTempExpandClock.getElapsedTime().asMilliseconds() > 999) {
                categoryTempExpanded = false;
                categoriesExpanded = false;
                frames.request(FrameReason::CategoryCollapse);
            }
            if (autoSleepDue(settings.sleepEnabled, settings.sleepAutoMinute, idleClock.getElapsedTime().asSeconds())) {
                enterSleep();
                frames.request(FrameReason::FallingAsleep);
            }
            if (!window.isOpen()) break;
            if (iconCache && iconCache->resultsWaiting()) frames.request(FrameReason::IconArrived);
            if (takeWindowExposed(nativeHandle())) frames.request(FrameReason::Exposed);

            const sf::Time now = frameTimeline.getElapsedTime();
            scheduleAnimations(now);
            if (frames.due(now)) {
                const float toolbarBefore = toolbarHeight;
                if (pictureOnlyFrame(frames.dueReasons(now))) renderPictureOnly(); else render();
                frames.drawn(now);
                // A frame drawn just as the window changed size may have gone
                // to a buffer of the old size: one more at the new size.
                if (window.getSize() != presentedSize) {
                    presentedSize = window.getSize();
                    frames.request(FrameReason::Resized);
                }
                // The toolbar eases a quarter of the way per frame until it
                // reaches the height its rows need.
                if (toolbarHeight != toolbarBefore) frames.request(FrameReason::ToolbarEasing);
            } else {
                waitForWork(now);
            }
            continue;
        }

        std::this_thread::sleep_for(std::chrono::milliseconds(kSleepPollMs));
        const bool focused = window.hasFocus();
        bool wake = false;
        sf::Event event;
        while (window.pollEvent(event)) {
            if (event.type == sf::Event::Closed) {
                saveConfig();
                window.close();
            } else if (focused && event.type == sf::Event::MouseButtonPressed) {
                wake = true;
            } else if (focused && event.type == sf::Event::KeyPressed && !isModifierKey(event.key.code)) {
                wake = true;
            }
        }
        if (!window.isOpen()) break;
        if (focused && joystickWakes(*joysticks, gamepad.connected, joystickButtonSnapshot)) wake = true;
        if (wake) {
            isSleeping = false;
            idleClock.restart();
            render();
            frames.drawn(frameTimeline.getElapsedTime());
        } else {
            drawSleepScreen();
        }
    }
    pictureLoader.stop();
    // Games still running are written as open sessions, for the next start.
    playWatcher.reset();
}

}  // namespace ludexa
