// Drawing helpers.
#include "ui/draw.h"

#include <algorithm>
#include <cmath>

#include "platform/text.h"

namespace ludexa {

void fillRect(sf::RenderTarget& target, float x, float y, float w, float h, sf::Color fill) {
    sf::RectangleShape r({w, h});
    r.setPosition(x, y);
    r.setFillColor(fill);
    target.draw(r);
}

void outlinedRect(sf::RenderTarget& target, float x, float y, float w, float h, sf::Color fill, sf::Color outline,
                  float thickness) {
    sf::RectangleShape r({w, h});
    r.setPosition(x, y);
    r.setFillColor(fill);
    r.setOutlineColor(outline);
    r.setOutlineThickness(thickness);
    target.draw(r);
}

sf::Text makeText(const std::string& utf8, const sf::Font& font, unsigned size, sf::Color color) {
    sf::Text text(sf::String(utf8ToWstring(utf8)), font, size);
    text.setFillColor(color);
    return text;
}

void centreText(sf::Text& text, float cx, float cy) {
    const auto b = text.getLocalBounds();
    text.setPosition(std::floor(cx - b.width / 2 - b.left), std::floor(cy - b.height / 2 - b.top));
}

ClipScope::ClipScope(sf::RenderTarget& target, float x, float y, float w, float h)
    : target_(target), previous_(target.getView()) {
    const auto size = target.getSize();
    const float width = static_cast<float>(size.x), height = static_cast<float>(size.y);
    // Whole pixels, inside the target; an empty rectangle draws nothing.
    const float left = std::clamp(std::floor(x), 0.0f, width);
    const float top = std::clamp(std::floor(y), 0.0f, height);
    const float right = std::clamp(std::floor(x + std::max(0.0f, w)), left, width);
    const float bottom = std::clamp(std::floor(y + std::max(0.0f, h)), top, height);
    sf::View clip(sf::FloatRect(left, top, std::max(1.0f, right - left), std::max(1.0f, bottom - top)));
    if (right <= left || bottom <= top || width <= 0 || height <= 0) {
        clip.setViewport(sf::FloatRect(0, 0, 0, 0));
    } else {
        clip.setViewport(sf::FloatRect(left / width, top / height, (right - left) / width, (bottom - top) / height));
    }
    target_.setView(clip);
}

ClipScope::~ClipScope() { target_.setView(previous_); }

}  // namespace ludexa
