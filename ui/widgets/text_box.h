// SfmlTextBox: the read-only, character-wrapping text view of the text area.
// It shows the selected game's header and description, scrolls, selects with
// the mouse and copies to the clipboard. The launcher's event handling drives
// its fields; it handles no events itself.
#pragma once

#include <SFML/Graphics.hpp>

#include <string>
#include <vector>

namespace ludexa {

class SfmlTextBox {
public:
    struct VisualLine {
        std::wstring text;  // never holds "\r" or "\n"
        int paragraphIndex = 0;
    };

    float x = 0, y = 0, width = 0, height = 0;
    float marginX = 8;
    float marginY = 6;
    float lineSpacing = 4;
    unsigned charSize = 14;
    std::wstring text;
    bool boldFirstLine = false;
    std::vector<VisualLine> lines;
    float scrollOffset = 0;
    float contentHeight = 0;
    int selStart = 0, selEnd = 0;  // text offsets, carriage returns not counted
    bool selecting = false;
    bool draggingThumb = false;
    float thumbDragStartY = 0, thumbDragStartScroll = 0;
    sf::Clock caretClock;
    bool caretVisible = false;
    int caretPos = 0;
    bool focused = false;
    sf::Color backgroundColor{30, 30, 36, 255};
    sf::Color textColor{210, 215, 220, 255};
    sf::Color headerColor{240, 240, 245, 255};
    sf::Color selectionColor{80, 130, 200, 160};
    sf::Color scrollTrackColor{50, 50, 56, 255};
    sf::Color scrollThumbColor{100, 100, 110, 255};
    const sf::Font* font = nullptr;  // not owned; null lays out and draws nothing

    void buildLines();
    void draw(sf::RenderWindow& window);
    int getRawOffset(int lineIndex) const;
    float charX(int lineIndex, int count, bool bold) const;
    int hitTest(float px, float py) const;
    // The selected characters as they are copied ("\r" skipped); empty when none.
    std::wstring selectedText() const;
    void copySelection() const;

    // Replaces the whole text: scroll and selection back to 0, lines rebuilt.
    void setText(const std::wstring& newText, bool bold);
    float lineHeight() const { return static_cast<float>(charSize) + lineSpacing; }
    // The largest scroll offset the wheel and the gamepad may reach.
    float maxWheelScroll() const;
};

}  // namespace ludexa
