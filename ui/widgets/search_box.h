// SearchBox: the single-line search input of the toolbar, drawn with shapes.
// The launcher's keyboard, mouse and gamepad handling edit `text` and
// `cursorPos` directly and then call adjustScroll().
#pragma once

#include <SFML/Graphics.hpp>

#include <string>

#include "ui/layout.h"

namespace ludexa {

// False for the control characters (below U+0020, and U+007F to U+009F):
// keys such as Delete, Escape and Tab arrive as text events too, and none of
// them may land in the box.
bool isTypedTextCharacter(char32_t c);

class SearchBox {
public:
    const sf::Font* font = nullptr;
    sf::Vector2f position;  // placed by the launcher from its window's width
    sf::Vector2f size{kSearchBoxWidth, kSearchBoxHeight};
    std::wstring text;
    std::wstring placeholder = L"可在此处搜索游戏";
    bool focused = false;
    std::size_t cursorPos = 0;
    float scrollOffset = 0;
    sf::Clock blinkClock;
    bool caretVisible = true;
    bool contextMenuVisible = false;
    sf::Vector2f contextMenuPos{0, 0};
    float cornerRadius = 6;
    sf::Color bgColor{55, 55, 60, 255};
    sf::Color borderColor{90, 90, 100, 255};
    sf::Color focusBorderColor{0, 150, 255, 255};
    sf::Color textColor{230, 230, 230, 255};
    sf::Color placeholderColor{140, 140, 150, 255};

    // The box; its paste menu is drawn apart, above everything else.
    void draw(sf::RenderTarget& target);
    void drawContextMenu(sf::RenderTarget& target);
    void adjustScroll();
    void setCursorFromMouse(float mouseX);
    void pasteFromClipboard();
    // Inserts `pasted` at the caret with every control character (line feeds
    // and tabs included) removed; false when nothing was left to insert.
    bool insertPastedText(const std::wstring& pasted);
    std::string getTextUTF8() const;
    float getTextWidth(const std::wstring& s) const;

    // Half-open rectangles, as sf::FloatRect::contains: the box, and the paste
    // item of the menu while it is open.
    bool contains(float px, float py) const;
    bool contextMenuContains(float px, float py) const;
};

}  // namespace ludexa
