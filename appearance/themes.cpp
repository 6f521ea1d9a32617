// Theme table and the text box colours derived from it.
#include "appearance/themes.h"

#include <algorithm>
#include <cstdint>
#include <vector>


namespace ludexa {

const std::vector<Theme> THEMES = {
    {"经典浅色", {235, 235, 240}, {40, 40, 45}, {100, 100, 110}, {200, 200, 210}, {80, 130, 230}, {160, 160, 170}},
    {"深色模式", {45, 45, 48}, {220, 220, 220}, {150, 150, 150}, {60, 60, 65}, {0, 122, 204}, {80, 80, 85}},
    {"天空蓝", {225, 235, 245}, {35, 45, 65}, {90, 110, 130}, {180, 200, 220}, {50, 120, 220}, {140, 170, 200}},
    {"护眼绿", {225, 235, 225}, {40, 50, 40}, {90, 110, 90}, {190, 210, 190}, {70, 150, 70}, {140, 170, 140}},
    {"商务黑", {30, 30, 30}, {240, 240, 240}, {160, 160, 160}, {80, 80, 80}, {255, 140, 0}, {100, 100, 100}},
    {"温柔粉", {245, 235, 240}, {60, 40, 50}, {120, 100, 110}, {230, 210, 220}, {230, 100, 150}, {210, 180, 195}},
};

const Theme& themeAt(int index) {
    if (index < 0 || index >= static_cast<int>(THEMES.size())) index = 0;
    return THEMES[static_cast<std::size_t>(index)];
}

TextBoxColors textBoxColorsFor(const Theme& theme, bool customBackground) {
    if (customBackground) {
        const sf::Color white(255, 255, 255, 255);
        return {kCustomBackgroundPanel, white, white, kCustomBackgroundPanel, sf::Color(255, 255, 255, 200)};
    }
    auto plus = [](sf::Uint8 channel, int n) { return static_cast<sf::Uint8>(std::min(255, channel + n)); };
    const sf::Color& p = theme.panelColor;
    const sf::Color& t = theme.textColor;
    return {p, t, sf::Color(plus(t.r, 30), plus(t.g, 30), plus(t.b, 30), 255), p,
            sf::Color(plus(p.r, 70), plus(p.g, 70), plus(p.b, 80), 200)};
}

SearchBoxColors searchBoxColorsFor(const Theme& theme, bool customBackground) {
    if (customBackground)
        return {{45, 45, 50}, {80, 80, 90}, {0, 150, 255}, {230, 230, 230}, {140, 140, 150}};
    auto lower = [](sf::Uint8 c) { return static_cast<sf::Uint8>(std::max(0, c - 20)); };
    const sf::Color& p = theme.panelColor;
    return {p, sf::Color(lower(p.r), lower(p.g), lower(p.b)), theme.accentColor, theme.textColor, theme.hintColor};
}

}  // namespace ludexa

#include "app/GameLauncher.h"

namespace ludexa {

void GameLauncher::applyThemeToTextBox() {
    const auto colors = textBoxColorsFor(themeAt(settings.themeIndex), settings.useCustomBackground);
    textBox.backgroundColor = colors.backgroundColor;
    textBox.textColor = colors.textColor;
    textBox.headerColor = colors.headerColor;
    textBox.scrollTrackColor = colors.scrollTrackColor;
    textBox.scrollThumbColor = colors.scrollThumbColor;
}

}  // namespace ludexa
