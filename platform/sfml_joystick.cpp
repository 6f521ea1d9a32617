// JoystickSource over sf::Joystick.
#include "platform/joystick.h"

#include <SFML/Window/Joystick.hpp>

namespace ludexa {
namespace {

class SfmlJoysticks final : public JoystickSource {
public:
    void update() override { sf::Joystick::update(); }
    bool isConnected(unsigned id) const override { return sf::Joystick::isConnected(id); }
    unsigned buttonCount(unsigned id) const override { return sf::Joystick::getButtonCount(id); }
    bool isButtonPressed(unsigned id, unsigned b) const override { return sf::Joystick::isButtonPressed(id, b); }
    float axisPosition(unsigned id, JoystickAxis axis) const override {
        static constexpr sf::Joystick::Axis kAxes[] = {sf::Joystick::X, sf::Joystick::Y,    sf::Joystick::U,
                                                       sf::Joystick::V, sf::Joystick::PovX, sf::Joystick::PovY};
        const float position = sf::Joystick::getAxisPosition(id, kAxes[static_cast<int>(axis)]);
        // On Linux SFML 2.5 passes the kernel's hat value through, which is
        // positive for down; the rest of the program counts up as positive.
        return axis == JoystickAxis::PovY ? -position : position;
    }
};

}  // namespace

std::unique_ptr<JoystickSource> makeSfmlJoysticks() { return std::make_unique<SfmlJoysticks>(); }

std::vector<int> connectedJoystickIds(const JoystickSource& source) {
    std::vector<int> ids;
    for (unsigned id = 0; id < JoystickSource::kMaxJoysticks; ++id)
        if (source.isConnected(id) && source.buttonCount(id) != 0) ids.push_back(static_cast<int>(id));
    return ids;
}

}  // namespace ludexa
