// The text area's wrapping, offsets, hit testing, selection and drawing.
#include <gtest/gtest.h>

#include <cmath>
#include <deque>

#include "appearance/fonts.h"
#include "ui/widgets/text_box.h"
#include "widget_test_util.h"

using namespace ludexa;

namespace {

// The wrap exactly as first written: a fresh sf::Text measured per character.
std::vector<std::wstring> measuredWrap(const std::wstring& paragraph, const sf::Font& font, unsigned size, bool bold,
                                       float usable) {
    std::vector<std::wstring> out;
    std::wstring current;
    for (wchar_t c : paragraph) {
        sf::Text candidate(sf::String(current + c), font, size);
        if (bold) candidate.setStyle(sf::Text::Bold);
        if (candidate.getLocalBounds().width <= usable || current.empty()) {
            current += c;
        } else {
            out.push_back(current);
            current.assign(1, c);
        }
    }
    out.push_back(current);
    return out;
}

std::vector<std::wstring> lineTexts(const SfmlTextBox& box, int paragraph) {
    std::vector<std::wstring> out;
    for (const auto& line : box.lines)
        if (line.paragraphIndex == paragraph) out.push_back(line.text);
    return out;
}

SfmlTextBox boxWith(const std::wstring& text, float width = 300, bool bold = false) {
    SfmlTextBox box;
    box.font = &testFont();
    box.x = 10, box.y = 20, box.width = width, box.height = 100;
    box.setText(text, bold);
    return box;
}

}  // namespace

TEST(TextBoxLayoutOnDisplay, EmptyTextNarrowBoxesAndMissingFont) {
    auto box = boxWith(L"");
    ASSERT_EQ(box.lines.size(), 1u);
    EXPECT_TRUE(box.lines[0].text.empty());
    EXPECT_EQ(box.contentHeight, box.lineHeight());
    EXPECT_EQ(box.selectedText(), L"");

    box.setText(L"a\n\nb\n", false);  // empty paragraphs keep a line each
    ASSERT_EQ(box.lines.size(), 4u);
    EXPECT_EQ(box.getRawOffset(2), 3);
    EXPECT_EQ(box.getRawOffset(3), 5);
    EXPECT_EQ(box.getRawOffset(4), 0);  // no such line

    box.width = 2 * 8 + 6 + 1;  // one usable pixel
    box.setText(L"ab\n游", false);
    ASSERT_EQ(box.lines.size(), 3u);
    EXPECT_EQ(box.lines[1].text, L"b");
    EXPECT_EQ(box.getRawOffset(2), 3);

    box.width = 22;  // no usable width at all
    box.buildLines();
    EXPECT_TRUE(box.lines.empty());
    EXPECT_EQ(box.contentHeight, 0);

    box.width = 300;
    box.font = nullptr;
    box.buildLines();
    EXPECT_TRUE(box.lines.empty());
    EXPECT_EQ(box.contentHeight, 0);  // no stale height for lines that are gone
    EXPECT_EQ(box.hitTest(50, 50), 0);
}

TEST(TextBoxLayoutOnDisplay, WrapMatchesDirectSfTextMeasurement) {
    const std::wstring sample =
        L"Ludexa 游戏启动器：AVATAR To Wy, \"quoted\"\tTab 中文与English混排，标点。！？ 1234567890 "
        L"ffi fl WAVE Yo 《黑神话：悟空》 VA-11 Hall-A … 😀 end";
    std::deque<sf::Font> fonts;  // every installed face of the chain: kerning differs between them
    std::deque<std::vector<std::uint8_t>> storage;
    for (const auto& face : uiFontChain()) {
        fonts.emplace_back();
        storage.emplace_back();
        if (!loadFontFace(face, fonts.back(), storage.back())) fonts.pop_back(), storage.pop_back();
    }
    ASSERT_FALSE(fonts.empty());
    for (const sf::Font& font : fonts) {
        for (unsigned size : {14u, 19u}) {
            for (bool bold : {false, true}) {
                const TextMeter meter(font, size, bold);
                const auto widths = meter.prefixWidths(sample);
                const auto xs = meter.caretXs(sample);
                sf::Text whole(sf::String(sample), font, size);
                if (bold) whole.setStyle(sf::Text::Bold);
                for (std::size_t n = 0; n <= sample.size(); ++n) {
                    sf::Text prefix(sf::String(sample.substr(0, n)), font, size);
                    if (bold) prefix.setStyle(sf::Text::Bold);
                    ASSERT_EQ(widths[n], prefix.getLocalBounds().width) << n;
                    ASSERT_EQ(xs[n], whole.findCharacterPos(n).x) << n;
                }
                for (float width : {40.f, 157.f, 333.f}) {  // only the first paragraph is bold
                    SfmlTextBox box;
                    box.font = &font;
                    box.charSize = size;
                    box.width = width;
                    box.setText(sample + L"\n" + sample, bold);
                    EXPECT_EQ(lineTexts(box, 0), measuredWrap(sample, font, size, bold, width - 22));
                    EXPECT_EQ(lineTexts(box, 1), measuredWrap(sample, font, size, false, width - 22));
                }
            }
        }
    }
}

TEST(TextBoxScrollOnDisplay, RewrapKeepsTheScrollOnTheContent) {
    std::wstring longText;
    for (int i = 0; i < 200; ++i) longText += L"描述文字 text ";
    auto box = boxWith(longText, 120);
    ASSERT_GT(box.maxWheelScroll(), 0);
    box.scrollOffset = box.maxWheelScroll();
    box.width = 600;
    box.buildLines();
    EXPECT_LE(box.scrollOffset, box.maxWheelScroll());
}

TEST(TextBoxDrawOnDisplay, ClipsToTheBoxAndHidesACaretCutByTheEdge) {
    sf::RenderTexture canvas;
    ASSERT_TRUE(canvas.create(300, 200));
    SfmlTextBox box;
    box.x = 20, box.y = 40, box.width = 200, box.height = 60;
    box.backgroundColor = sf::Color::Black;
    box.textColor = box.headerColor = sf::Color::Red;
    box.scrollTrackColor = box.scrollThumbColor = sf::Color::Green;
    box.draw(canvas);  // no font: nothing, no crash
    box.font = &testFont();
    std::wstring many;
    for (int i = 0; i < 40; ++i) many += L"第" + std::to_wstring(i) + L"行 Line WWWW\n";
    box.setText(many, true);
    box.scrollOffset = 7;  // the first line is cut by the top edge
    box.selStart = 2, box.selEnd = 30;
    const sf::IntRect inside(20, 40, 200, 60);
    const auto image = renderOnBlue(canvas, [&] { box.draw(canvas); });
    EXPECT_EQ(countRed(image, inside, false), 0);
    EXPECT_GT(countRed(image, inside, true), 0);

    box.setText(L"\n\nabc", false);  // line 0 is empty: only the caret can be red there
    box.focused = true;
    box.caretVisible = true;
    const sf::IntRect caretArea(26, 40, 6, 20);
    box.caretClock.restart();
    EXPECT_GT(countRed(renderOnBlue(canvas, [&] { box.draw(canvas); }), caretArea, true), 0);
    box.scrollOffset = box.marginY + 2;
    box.caretClock.restart();
    EXPECT_EQ(countRed(renderOnBlue(canvas, [&] { box.draw(canvas); }), caretArea, true), 0);

    box.scrollOffset = 1e30f;  // far past the end, and then no size at all
    renderOnBlue(canvas, [&] { box.draw(canvas); });
    box.width = box.height = 0;
    renderOnBlue(canvas, [&] { box.draw(canvas); });
}

// The mouse: a press and a drag select, whichever way and however far the
// pointer goes; a release ends it. On the scrollbar a press grabs or jumps.
TEST(TextBoxMouseOnDisplay, HitTestDragsSelectAndScroll) {
    auto box = boxWith(L"游戏\r\nabc");
    const float row0 = box.y + box.marginY + 2, row1 = row0 + box.lineHeight();
    EXPECT_EQ(box.hitTest(0, -1e30f), 0);  // far above the box: the first line
    const float a = box.charX(1, 1, false), b = box.charX(1, 2, false);
    const float halfway = box.x + box.marginX + (a + b) / 2;
    ASSERT_EQ(std::abs(a + box.x + box.marginX - halfway), std::abs(b + box.x + box.marginX - halfway));
    EXPECT_EQ(box.hitTest(halfway, row1), 4);  // a tie goes to the left
    EXPECT_EQ(box.hitTest(halfway + 1, row1), 5);

    box.press(box.x + 1, row1);  // before "a"
    EXPECT_TRUE(box.selecting && box.focused);
    box.drag(1000, row1);
    EXPECT_EQ(box.selectedText(), L"abc");
    box.drag(box.x + box.marginX + box.charX(0, 1, false), row0);  // back up, before the press
    EXPECT_EQ(box.selectedText(), L"戏\n");
    box.drag(1000, 1e30f);  // far below the box and right of it: to the end
    EXPECT_EQ(box.selectedText(), L"abc");
    box.release();
    box.drag(0, row0);
    EXPECT_EQ(box.selectedText(), L"abc");
    EXPECT_EQ(box.caretPos, 6);
    box.scrollOffset = box.lineHeight();  // scrolled by a line: the second is on top
    EXPECT_EQ(box.hitTest(0, row0), 3);

    std::wstring many;
    for (int i = 0; i < 40; ++i) many += L"行\n";
    box.setText(many, false);  // a new text: at its top, nothing selected
    EXPECT_EQ(box.scrollOffset, 0);
    EXPECT_EQ(box.selStart, 0);
    EXPECT_EQ(box.selEnd, 0);
    const float right = box.x + box.width - 1, maxScroll = box.contentHeight - box.height;
    box.press(right, box.y + box.height);  // the track's bottom: jump to the end
    EXPECT_FLOAT_EQ(box.scrollOffset, maxScroll);
    EXPECT_FALSE(box.selecting);
    box.press(right, box.y + box.height - 1);  // now on the thumb: grab it
    ASSERT_TRUE(box.draggingThumb);
    box.drag(0, -1e6f);
    EXPECT_EQ(box.scrollOffset, 0);
    box.release();
    box.drag(0, 1e6f);
    EXPECT_EQ(box.scrollOffset, 0);
    EXPECT_FALSE(box.contains(box.x + box.width + 1, box.y));
}
