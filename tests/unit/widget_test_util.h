// Shared by the widget tests: one real font, and rendering into an image.
#pragma once

#include <SFML/Graphics.hpp>

#include <cstdint>
#include <stdexcept>
#include <vector>

#include "appearance/fonts.h"

namespace ludexa {

// The first face of the UI chain, loaded once for the whole test run.
inline const sf::Font& testFont() {
    static std::vector<std::uint8_t> storage;
    static sf::Font font;
    static const bool loaded = loadFirstFont(uiFontChain(), font, storage);
    if (!loaded) throw std::runtime_error("no font of the UI chain is installed");
    return font;
}

// Clears the canvas to pure blue, runs `draw`, and reads the result back.
template <class Draw>
sf::Image renderOnBlue(sf::RenderTexture& canvas, Draw draw) {
    canvas.clear(sf::Color::Blue);
    draw();
    canvas.display();
    return canvas.getTexture().copyToImage();
}

// Pixels of clearly red colour (not white or grey), inside `area` or outside it.
inline bool isRed(sf::Color c) { return c.r > 60 && c.g < 30; }

inline int countRed(const sf::Image& image, const sf::IntRect& area, bool inside) {
    int count = 0;
    for (unsigned py = 0; py < image.getSize().y; ++py)
        for (unsigned px = 0; px < image.getSize().x; ++px)
            if (area.contains(static_cast<int>(px), static_cast<int>(py)) == inside && isRed(image.getPixel(px, py)))
                ++count;
    return count;
}

}  // namespace ludexa
