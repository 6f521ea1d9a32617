// Gamepads, read through a small interface so tests can script a controller.
// The program uses sf::Joystick; tests substitute a ScriptedJoysticks.
#pragma once

#include <array>
#include <memory>
#include <vector>

namespace ludexa {

enum class JoystickAxis { X, Y, U, V, PovX, PovY };

class JoystickSource {
public:
    static constexpr unsigned kMaxJoysticks = 8;
    static constexpr unsigned kButtonsRead = 16;

    virtual ~JoystickSource() = default;
    virtual void update() = 0;
    virtual bool isConnected(unsigned id) const = 0;
    virtual unsigned buttonCount(unsigned id) const = 0;
    virtual bool isButtonPressed(unsigned id, unsigned button) const = 0;
    // -100 .. 100; PovY is positive for up.
    virtual float axisPosition(unsigned id, JoystickAxis axis) const = 0;
};

std::unique_ptr<JoystickSource> makeSfmlJoysticks();

// A controller whose state a test sets by hand.
class ScriptedJoysticks final : public JoystickSource {
public:
    struct Pad {
        bool connected = false;
        unsigned buttons = 0;
        std::array<bool, 32> pressed{};
        std::array<float, 6> axes{};
    };
    std::array<Pad, kMaxJoysticks> pads{};
    int updates = 0;

    void update() override { ++updates; }
    bool isConnected(unsigned id) const override { return id < kMaxJoysticks && pads[id].connected; }
    unsigned buttonCount(unsigned id) const override { return id < kMaxJoysticks ? pads[id].buttons : 0; }
    bool isButtonPressed(unsigned id, unsigned b) const override {
        return id < kMaxJoysticks && b < 32 && pads[id].pressed[b];
    }
    float axisPosition(unsigned id, JoystickAxis a) const override {
        return id < kMaxJoysticks ? pads[id].axes[static_cast<std::size_t>(a)] : 0.0f;
    }
};

// The ids 0..7 of connected joysticks that report at least one button.
std::vector<int> connectedJoystickIds(const JoystickSource& source);

}  // namespace ludexa
