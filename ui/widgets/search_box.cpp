// SearchBox: measuring, caret placement, horizontal scrolling, paste and
// drawing of the search input. The launcher's input handling edits the text.
#include "ui/widgets/search_box.h"

#include <SFML/Window/Clipboard.hpp>

#include <algorithm>
#include <cmath>

#include "appearance/themes.h"
#include "platform/text.h"
#include "ui/draw.h"
#include "ui/widgets/text_box.h"

namespace ludexa {
namespace {

constexpr unsigned kTextSize = 14;
constexpr float kPadding = 8;  // text inset from the box's left and right edges
constexpr float kMenuWidth = 80;
constexpr float kMenuHeight = 28;

}  // namespace

bool isTypedTextCharacter(char32_t c) { return c >= 0x20 && !(c >= 0x7F && c <= 0x9F); }

float SearchBox::getTextWidth(const std::wstring& s) const {
    if (!font || s.empty()) return 0;
    return TextMeter(*font, kTextSize, false).width(s);
}

void SearchBox::adjustScroll() {
    // The editing code may leave the caret past a shortened text.
    cursorPos = std::min(cursorPos, text.size());
    const float caretX = getTextWidth(text.substr(0, cursorPos));
    const float visible = size.x - 2 * kPadding;
    if (caretX < scrollOffset + kPadding)
        scrollOffset = std::max(0.f, caretX - kPadding);
    else if (caretX > scrollOffset + visible - kPadding)
        scrollOffset = caretX - visible + kPadding;
    const float fullWidth = getTextWidth(text);
    if (fullWidth > visible)
        scrollOffset = std::clamp(scrollOffset, 0.f, fullWidth - visible + kPadding);
    else
        scrollOffset = 0;
}

void SearchBox::setCursorFromMouse(float mouseX) {
    const float localX = mouseX - position.x - kPadding + scrollOffset;
    std::size_t best = 0;
    if (font) {
        // All prefixes in one pass: a long pasted text stays cheap to click in.
        const auto widths = TextMeter(*font, kTextSize, false).prefixWidths(text);
        float bestDistance = std::abs(localX);
        for (std::size_t i = 1; i < widths.size(); ++i) {
            const float distance = std::abs(localX - widths[i]);
            if (distance < bestDistance) {  // ties keep the earlier position
                bestDistance = distance;
                best = i;
            }
        }
    }
    cursorPos = best;
    adjustScroll();
}

bool SearchBox::insertPastedText(const std::wstring& pasted) {
    std::wstring joined = pasted;
    std::erase_if(joined, [](wchar_t c) { return !isTypedTextCharacter(static_cast<char32_t>(c)); });
    if (joined.empty()) return false;
    cursorPos = std::min(cursorPos, text.size());
    text.insert(cursorPos, joined);
    cursorPos += joined.size();
    adjustScroll();
    return true;
}

void SearchBox::pasteFromClipboard() {
    std::wstring pasted = sf::Clipboard::getString().toWideString();
    // Clipboard text is a C string to most programs: nothing after a NUL was
    // meant to be part of it.
    if (const auto nul = pasted.find(L'\0'); nul != std::wstring::npos) pasted.resize(nul);
    insertPastedText(pasted);
}

std::string SearchBox::getTextUTF8() const {
    std::string utf8 = wstringToUtf8(text);
    if (const auto nul = utf8.find('\0'); nul != std::string::npos) utf8.resize(nul);
    return utf8;
}

bool SearchBox::contains(float px, float py) const {
    return sf::FloatRect(position, size).contains(px, py);
}

bool SearchBox::contextMenuContains(float px, float py) const {
    return contextMenuVisible && sf::FloatRect(contextMenuPos, {kMenuWidth, kMenuHeight}).contains(px, py);
}

void SearchBox::draw(sf::RenderTarget& target) {
    if (blinkClock.getElapsedTime().asMilliseconds() > 499) {
        caretVisible = !caretVisible;
        blinkClock.restart();
    }
    const float x = position.x, y = position.y, w = size.x, h = size.y;
    const float r = cornerRadius;
    const auto fill = [&](float left, float top, float width, float height, sf::Color color) {
        sf::RectangleShape rect({width, height});
        rect.setPosition(left, top);
        rect.setFillColor(color);
        target.draw(rect);
    };

    // Rounded box: a cross of rectangles and a circle in each corner.
    fill(x + r, y, w - 2 * r, h, bgColor);
    fill(x + r, y, w - 2 * r, r, bgColor);
    fill(x + r, y + h - r, w - 2 * r, r, bgColor);
    fill(x, y + r, r, h - 2 * r, bgColor);
    fill(x + w - r, y + r, r, h - 2 * r, bgColor);
    for (const sf::Vector2f corner : {sf::Vector2f(x, y), sf::Vector2f(x, y + h - 2 * r),
                                      sf::Vector2f(x + w - 2 * r, y), sf::Vector2f(x + w - 2 * r, y + h - 2 * r)}) {
        sf::CircleShape circle(r, 30);
        circle.setPosition(corner);
        circle.setFillColor(bgColor);
        target.draw(circle);
    }

    // The border runs along the straight edges only.
    const sf::Color border = focused ? focusBorderColor : borderColor;
    fill(x + r, y, w - 2 * r, 1, border);
    fill(x + r, y + h - 1, w - 2 * r, 1, border);
    fill(x, y + r, 1, h - 2 * r, border);
    fill(x + w - 1, y + r, 1, h - 2 * r, border);

    if (font) {
        const ClipScope clip(target, x + kPadding, y + 2, w - 2 * kPadding, h - 4);
        const float textY = y + h / 2 - 7;
        if (text.empty() && !focused) {
            sf::Text hint(sf::String(placeholder), *font, kTextSize);
            hint.setFillColor(placeholderColor);
            hint.setPosition(x + kPadding, textY);
            target.draw(hint);
        } else {
            sf::Text shown(sf::String(text), *font, kTextSize);
            shown.setFillColor(textColor);
            shown.setPosition(x + kPadding - scrollOffset, textY);
            target.draw(shown);
            if (focused && caretVisible) {
                const float caretX =
                    x + kPadding + getTextWidth(text.substr(0, std::min(cursorPos, text.size()))) - scrollOffset;
                if (caretX >= x + kPadding && caretX <= x + w - kPadding) fill(caretX, y + h / 2 - 8, 1, 16, textColor);
            }
        }
    }
}

void SearchBox::drawContextMenu(sf::RenderTarget& target) {
    sf::RectangleShape item({kMenuWidth, kMenuHeight});
    item.setPosition(contextMenuPos);
    item.setFillColor(kPasteMenuItem.fill);
    item.setOutlineThickness(1);
    item.setOutlineColor(kPasteMenuItem.outline);
    target.draw(item);
    if (!font) return;
    sf::Text label(sf::String(L"粘贴"), *font, 13);
    label.setFillColor(kPasteMenuLabel);
    label.setPosition(contextMenuPos.x + kMenuWidth / 2 - label.getLocalBounds().width / 2, contextMenuPos.y + 8);
    target.draw(label);
}

}  // namespace ludexa
