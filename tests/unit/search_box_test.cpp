// The search input: caret placement, horizontal scrolling, paste and drawing.
#include <gtest/gtest.h>

#include <SFML/Window/Clipboard.hpp>

#include "platform/window.h"
#include "ui/widgets/search_box.h"
#include "ui/widgets/text_box.h"
#include "widget_test_util.h"

using namespace ludexa;

namespace {

SearchBox boxWith(const std::wstring& text) {
    SearchBox box;
    box.font = &testFont();
    box.position = {0, 8};
    box.text = text;
    box.cursorPos = text.size();
    box.adjustScroll();
    return box;
}

}  // namespace

TEST(SearchBoxScrollOnDisplay, CaretStaysInViewWhileTypingAndDeleting) {
    SearchBox box = boxWith(L"");
    const float visible = box.size.x - 16;
    for (wchar_t c : std::wstring(L"搜索 Ludexa 游戏启动器 WWWW mmmm 最终幻想")) {
        box.text.insert(box.cursorPos++, 1, c);
        box.adjustScroll();
        const float caretX = box.getTextWidth(box.text.substr(0, box.cursorPos)) - box.scrollOffset;
        // A text that fits is never scrolled; once it overflows, the caret
        // keeps 8 pixels from the right edge of the text area.
        const bool overflows = box.getTextWidth(box.text) > visible;
        EXPECT_LE(caretX, overflows ? visible - 8 + 1e-3f : visible);
        EXPECT_GE(caretX, 0);
    }
    EXPECT_GT(box.scrollOffset, 0);

    box.cursorPos = 0;  // Home
    box.adjustScroll();
    EXPECT_EQ(box.scrollOffset, 0);
    box.cursorPos = box.text.size();  // End
    box.adjustScroll();
    EXPECT_FLOAT_EQ(box.scrollOffset, box.getTextWidth(box.text) - visible + 8);

    while (box.getTextWidth(box.text) > visible) {  // Backspace until it fits
        box.text.pop_back();
        box.cursorPos = box.text.size();
        box.adjustScroll();
    }
    EXPECT_EQ(box.scrollOffset, 0);
}

TEST(SearchBoxCaretOnDisplay, MouseClickPicksTheNearestBoundaryLeftOnTies) {
    SearchBox box = boxWith(L"ab游");
    const float w1 = box.getTextWidth(L"a"), w2 = box.getTextWidth(L"ab");
    const float mouseX = box.position.x + 8 + (w1 + w2) / 2;
    const float localX = mouseX - box.position.x - 8 + box.scrollOffset;
    ASSERT_EQ(localX - w1, w2 - localX);  // exactly halfway
    box.setCursorFromMouse(mouseX);
    EXPECT_EQ(box.cursorPos, 1u);
    box.setCursorFromMouse(-100);
    EXPECT_EQ(box.cursorPos, 0u);
    box.setCursorFromMouse(1000);
    EXPECT_EQ(box.cursorPos, 3u);

    box.font = nullptr;  // without a font everything measures 0
    EXPECT_EQ(box.getTextWidth(L"ab"), 0);
    box.setCursorFromMouse(1000);
    EXPECT_EQ(box.cursorPos, 0u);
}

TEST(SearchBoxText, ControlCharactersAreNeverTyped) {
    // X11 sends Delete as U+007F, Escape as U+001B, Tab as U+0009.
    for (char32_t c : {U'\0', U'\b', U'\t', U'\n', U'\r', U'\x1b', U'\x1f', U'\x7f', U'\x80', U'\x9f'})
        EXPECT_FALSE(isTypedTextCharacter(c)) << static_cast<unsigned>(c);
    for (char32_t c : {U' ', U'a', U'~', U'\xa0', U'é', U'游', U'\U0001F3AE'})
        EXPECT_TRUE(isTypedTextCharacter(c)) << static_cast<unsigned>(c);
}

// Lines joined at the caret, control characters dropped.
TEST(SearchBoxPasteOnDisplay, ChineseFromTheTextBoxJoinedAtTheCaret) {
    prepareClipboard();
    SfmlTextBox textBox;
    textBox.setText(L"游戏名\r\n第二行", true);
    textBox.selStart = 1, textBox.selEnd = 5;
    textBox.copySelection();
    EXPECT_EQ(sf::Clipboard::getString().toWideString(), L"戏名\n第");

    SearchBox box = boxWith(L"《》");
    box.cursorPos = 1;
    box.pasteFromClipboard();
    EXPECT_EQ(box.text, L"《戏名第》");
    EXPECT_EQ(box.cursorPos, 4u);
    EXPECT_TRUE(box.insertPastedText(L"\r\n\tx\x7f\x85"));
    EXPECT_FALSE(box.insertPastedText(L"\r\n\n"));
    box.cursorPos = 99;  // never thrown out of range
    EXPECT_TRUE(box.insertPastedText(L"z"));
    EXPECT_EQ(box.text, L"《戏名第x》z");
}

TEST(SearchBoxDrawOnDisplay, TextStaysInsideAndHintOnlyWhileUnfocused) {
    sf::RenderTexture canvas;
    ASSERT_TRUE(canvas.create(220, 80));
    SearchBox box;
    box.position = {20, 20};
    box.bgColor = box.borderColor = box.focusBorderColor = sf::Color::Black;
    box.textColor = sf::Color::Yellow;  // the caret of an empty focused box is not the hint
    box.placeholderColor = sf::Color::Red;
    const sf::IntRect inner(28, 22, 112, 22);
    renderOnBlue(canvas, [&] { box.draw(canvas); });  // no font: shapes only

    box.font = &testFont();
    EXPECT_GT(countRed(renderOnBlue(canvas, [&] { box.draw(canvas); }), inner, true), 0);  // the hint
    box.focused = true;
    EXPECT_EQ(countRed(renderOnBlue(canvas, [&] { box.draw(canvas); }), inner, true), 0);

    box.textColor = sf::Color::Red;
    box.text = L"很长的搜索文字 WWWW mmmm 最终幻想 Ludexa";
    box.cursorPos = box.text.size();
    box.adjustScroll();
    box.contextMenuPos = {150, 50};
    box.contextMenuVisible = true;
    const auto image = renderOnBlue(canvas, [&] { box.draw(canvas); });
    EXPECT_GT(countRed(image, inner, true), 0);
    EXPECT_EQ(countRed(image, inner, false), 0);

    box.size = {0, 0};
    renderOnBlue(canvas, [&] { box.draw(canvas); });
}
