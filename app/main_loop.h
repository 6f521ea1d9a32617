// The pure rules of the main loop: the grid fling, when to fall asleep and
// what wakes the launcher. GameLauncher::run() wires them to its state.
#pragma once

#include <SFML/Window/Keyboard.hpp>

#include <array>
#include <vector>

#include "platform/joystick.h"

namespace ludexa {

inline constexpr float kAutoSleepSeconds = 60.0f;
inline constexpr int kSleepPollMs = 300;
inline constexpr float kFlingDeceleration = 2000.0f;  // pixels per second per second
inline constexpr float kFlingStopSpeed = 8.0f;        // pixels per second

// For each joystick id and button 0..15: pressed when sleep began, or when the
// sleeping loop last read it.
using JoystickSnapshot = std::array<std::array<bool, JoystickSource::kButtonsRead>, JoystickSource::kMaxJoysticks>;

struct FlingState {
    float offset = 0;    // gridInput.scrollOffset
    float velocity = 0;  // pixels per second, positive scrolls up
    bool active = false;
};

// One frame of a fling. A frame is assumed to last 1 / framerate seconds.
void flingStep(FlingState& fling, float maxScroll, int framerate);

bool autoSleepDue(bool sleepEnabled, bool sleepAutoMinute, float idleSeconds);

// Control, Shift, Alt and System keys never wake the launcher.
bool isModifierKey(sf::Keyboard::Key key);

// Refreshes the joysticks and records which buttons are held now.
void takeJoystickSnapshot(JoystickSource& source, const std::vector<int>& ids, JoystickSnapshot& snapshot);

// Refreshes the joysticks; true when a button is pressed that was not pressed at
// the last reading. Every reading is written back, so holding a button wakes at
// most once and releasing it re-arms it.
bool joystickWakes(JoystickSource& source, const std::vector<int>& ids, JoystickSnapshot& snapshot);

}  // namespace ludexa
