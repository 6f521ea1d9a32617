// render(): one complete frame of the main window.
#include "app/GameLauncher.h"
#include "appearance/themes.h"

namespace ludexa {

void GameLauncher::render() {
    const Theme& theme = themeAt(themeIndex);
    const sf::Color panel = useCustomBackground ? kCustomBackgroundPanel : theme.panelColor;
    window.clear(sf::Color(30, 30, 30, 255));
    sf::RectangleShape toolbar({windowWidth, toolbarHeight});
    toolbar.setFillColor(panel);
    window.draw(toolbar);
    window.display();
}

}  // namespace ludexa
