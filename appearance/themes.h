// The six built-in colour themes and the see-through scheme used over a custom
// background picture.
#pragma once

#include <SFML/Graphics/Color.hpp>
#include <SFML/Graphics/Texture.hpp>

#include <string>
#include <vector>

namespace ludexa {

struct Theme {
    std::string name;
    sf::Color panelColor;
    sf::Color textColor;
    sf::Color hintColor;
    sf::Color borderColor;
    sf::Color accentColor;
    sf::Color scrollThumbColor;
};

extern const std::vector<Theme> THEMES;

// Panels over a custom background are filled with this nearly clear colour so
// the picture shows through.
inline const sf::Color kCustomBackgroundPanel(240, 240, 245, 3);

// The colours the description text box takes from a theme.
struct TextBoxColors {
    sf::Color backgroundColor;
    sf::Color textColor;
    sf::Color headerColor;
    sf::Color scrollTrackColor;
    sf::Color scrollThumbColor;
};

TextBoxColors textBoxColorsFor(const Theme& theme, bool customBackground);

// The theme for an index, falling back to theme 0 for anything out of range.
const Theme& themeAt(int index);


}  // namespace ludexa
