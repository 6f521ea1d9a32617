// Small drawing helpers shared by the frame renderer and the drawn menus.
#pragma once

#include <SFML/Graphics.hpp>

#include <string>

namespace ludexa {

void fillRect(sf::RenderTarget& target, float x, float y, float w, float h, sf::Color fill);
void outlinedRect(sf::RenderTarget& target, float x, float y, float w, float h, sf::Color fill, sf::Color outline,
                  float thickness = 1);

// A text object for a UTF-8 string.
sf::Text makeText(const std::string& utf8, const sf::Font& font, unsigned size, sf::Color color);

// Places the text so its local bounds are centred on (cx, cy), rounded down to
// whole pixels so glyphs stay crisp.
void centreText(sf::Text& text, float cx, float cy);

// Clips drawing to a rectangle in window pixels while it lives, through a view
// whose viewport is that rectangle. The OpenGL scissor test is not used: SFML
// grows a font's glyph texture with a framebuffer blit, which the scissor test
// would cut short, losing glyphs for good.
class ClipScope {
public:
    ClipScope(sf::RenderTarget& target, float x, float y, float w, float h);
    ~ClipScope();
    ClipScope(const ClipScope&) = delete;
    ClipScope& operator=(const ClipScope&) = delete;

private:
    sf::RenderTarget& target_;
    sf::View previous_;
};

}  // namespace ludexa
