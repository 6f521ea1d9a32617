// Clipping must not damage the font's glyph texture: SFML grows that texture
// with a framebuffer blit, and a scissor rectangle left on would cut the copy.
#include <gtest/gtest.h>

#include <SFML/Graphics.hpp>

#include "appearance/fonts.h"
#include "ui/draw.h"

using namespace ludexa;

TEST(ClipScopeOnDisplay, GlyphsLoadedWhileClippingSurvive) {
    sf::Font font;
    std::vector<std::uint8_t> storage;
    ASSERT_TRUE(loadFirstFont(uiFontChain(), font, storage));
    sf::RenderTexture target;
    ASSERT_TRUE(target.create(400, 400));
    target.clear(sf::Color::White);

    sf::Text first(sf::String(L"A"), font, 40);
    first.setFillColor(sf::Color::Black);
    first.setPosition(10, 10);
    target.draw(first);  // loads the glyph into the font's first, small texture

    {
        ClipScope clip(target, 300, 300, 20, 20);
        std::wstring many;
        for (wchar_t c = 0x4E00; c < 0x4E00 + 400; ++c) many += c;
        sf::Text filler(sf::String(many), font, 40);  // forces the texture to grow
        filler.setFillColor(sf::Color::Black);
        target.draw(filler);
    }

    first.setPosition(10, 200);
    target.draw(first);
    target.display();
    const auto image = target.getTexture().copyToImage();
    int dark = 0;
    for (unsigned y = 200; y < 260; ++y)
        for (unsigned x = 10; x < 60; ++x)
            if (image.getPixel(x, y).r < 100) ++dark;
    EXPECT_GT(dark, 50) << "the glyph of A was lost when the font texture grew";
    // Nothing of the filler was drawn outside its clip rectangle.
    EXPECT_EQ(image.getPixel(200, 100), sf::Color::White);
}
