// Panel geometry: resizing, splitters and the text box placement.
#include "app/GameLauncher.h"

#include <algorithm>

namespace ludexa {

void GameLauncher::handleResize(unsigned width, unsigned height) {
    const float w = static_cast<float>(width);
    const float h = static_cast<float>(height);
    leftPanelWidth = std::max(100.0f, std::min(leftPanelWidthRatio * w, w - 104));
    const float below = h - (toolbarHeight + 4);
    leftTopHeight = std::max(100.0f, std::min(leftTopHeightRatio * below, below - 104));
    windowWidth = w;
    windowHeight = h;
    window.setView(sf::View(sf::FloatRect(0, 0, w, h)));
    updateRichEditPosition();
    searchBox.position = {w - 245, 8};
}

void GameLauncher::updateRichEditPosition() {
    const float oldWidth = textBox.width;
    textBox.x = 4;
    textBox.y = toolbarHeight + 4 + leftTopHeight + 4;
    textBox.width = leftPanelWidth - 4;
    textBox.height = static_cast<float>(window.getSize().y) - textBox.y - 4;
    if (textBox.width != oldWidth) textBox.buildLines();
}

}  // namespace ludexa
