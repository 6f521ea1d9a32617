// The soft keyboard: key geometry, highlight moves, search edits, and how it
// looks drawn over the icon grid. Its controls are tested with the gamepad.
#include <gtest/gtest.h>

#include "appearance/themes.h"
#include "ui/draw.h"
#include "ui/soft_keyboard.h"
#include "widget_test_util.h"

using namespace ludexa;

namespace {

const SoftKeyRows kRows{"1234567890", "QWERTYUIOP", "ASDFGHJKL", "ZXCVBNM<-"};

char keyAt(int row, int column) { return kRows[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)]; }

}  // namespace

TEST(SoftKeyboard, LayoutMovesAndEdits) {
    const auto k = layoutSoftKeyboard(1200, 800, kRows);
    EXPECT_EQ(k.panel, sf::FloatRect(150, 398, 900, 352));
    EXPECT_EQ(k.keys[0][0], sf::FloatRect(189, 408, 75, 75));
    EXPECT_EQ(k.keys[3][8], sf::FloatRect(230.5f + 8 * 83, 408 + 3 * 83, 75, 75));  // shorter rows centred
    EXPECT_FLOAT_EQ(layoutSoftKeyboard(640, 480, kRows).keySize, 40);  // keys shrink with the width

    int row = 0, column = 9;  // "0": down lands on "P", then on "L"
    EXPECT_TRUE(moveSoftKey(row, column, 0, 1, kRows));
    EXPECT_EQ(keyAt(row, column), 'P');
    EXPECT_TRUE(moveSoftKey(row, column, 0, 1, kRows));
    EXPECT_EQ(keyAt(row, column), 'L');
    EXPECT_FALSE(moveSoftKey(row, column, 1, 0, kRows));  // end of the row holds

    std::wstring text;
    EXPECT_FALSE(applySoftKeyEdit(text, softKeyEdit(kRows, 3, 7)));  // backspace on nothing: no refilter
    EXPECT_TRUE(applySoftKeyEdit(text, softKeyEdit(kRows, 2, 4)));
    EXPECT_TRUE(applySoftKeyEdit(text, softKeyEdit(kRows, 3, 8)));
    EXPECT_EQ(text, L"G-");  // upper case as typed; the key after backspace types "-"
    EXPECT_TRUE(applySoftKeyEdit(text, softKeyEdit(kRows, 3, 7)));
    EXPECT_EQ(text, L"G");
}

TEST(SoftKeyboardOnDisplay, DrawnOverTheGrid) {
    sf::RenderTexture canvas;
    ASSERT_TRUE(canvas.create(1200, 800));
    const sf::Color gridColor = THEMES[0].panelColor;
    const auto layout = layoutSoftKeyboard(1200, 800, kRows);
    canvas.clear(gridColor);
    fillRect(canvas, 380, 440, 96, 96, sf::Color(50, 50, 50));  // an icon under the panel
    drawSoftKeyboard(canvas, testFont(), layout, kRows, kSoftKeyOpenRow, kSoftKeyOpenColumn);
    canvas.display();
    const sf::Image image = canvas.getTexture().copyToImage();

    const auto pixel = [&](float x, float y) {
        return image.getPixel(static_cast<unsigned>(x), static_cast<unsigned>(y));
    };
    EXPECT_LT(pixel(layout.panel.left + 3, layout.panel.top + 3).r, 100);  // a dark panel over the light grid
    // The key it opens on, "G", is highlighted in red; "H" beside it is not.
    const auto& g = layout.keys[2][4];
    const auto& h = layout.keys[2][5];
    EXPECT_GT(pixel(g.left + 2, g.top + 2).r, pixel(h.left + 2, h.top + 2).r + 60);

    for (std::size_t r = 0; r < 4; ++r) {  // every label white, a real glyph, centred on its key
        for (std::size_t c = 0; c < layout.keys[r].size(); ++c) {
            const auto& key = layout.keys[r][c];
            float minX = 1e9f, maxX = -1, minY = 1e9f, maxY = -1;
            int white = 0;
            for (float y = key.top; y < key.top + key.height; ++y)
                for (float x = key.left; x < key.left + key.width; ++x)
                    if (const auto p = pixel(x, y); p.r > 235 && p.g > 235 && p.b > 235) {
                        ++white;
                        minX = std::min(minX, x), maxX = std::max(maxX, x);
                        minY = std::min(minY, y), maxY = std::max(maxY, y);
                    }
            SCOPED_TRACE(softKeyLabel(kRows[r][c]));
            EXPECT_GE(white, 15);
            EXPECT_NEAR((minX + maxX) / 2, key.left + key.width / 2, 3);
            EXPECT_NEAR((minY + maxY) / 2, key.top + key.height / 2, 3);
        }
    }
}
