// SfmlTextBox: the read-only, character-wrapping text view of the text area.
// It shows the selected game's header and description, scrolls, selects with
// the mouse and copies to the clipboard. The launcher's event handling drives
// its fields; it handles no events itself.
// Beside it, two helpers the search box shares: TextMeter (sf::Text's own
// measurement, done incrementally) and ScissorClip (the clipping rectangle).
#pragma once

#include <SFML/Graphics.hpp>

#include <string>
#include <string_view>
#include <vector>

namespace ludexa {

// Lays characters out exactly as sf::Text does (kerning, glyph advances and
// glyph bounds), one character at a time. Wrapping measures a line that grows
// by one character per step; building a fresh sf::Text for every step would
// cost the square of the line length, the meter costs one glyph per step.
class TextMeter {
public:
    // The state of a laid-out run of characters.
    struct Run {
        float x = 0, minX = 0, maxX = 0;
        char32_t prev = 0;
        std::size_t count = 0;
    };

    TextMeter(const sf::Font& font, unsigned charSize, bool bold);

    Run start() const;
    Run append(Run run, char32_t c) const;
    // The width of sf::Text's local bounds for the run (0 when it is empty).
    float width(const Run& run) const;
    float width(std::wstring_view s) const;
    // The local-bounds width of every prefix of `s`, lengths 0 to s.size().
    std::vector<float> prefixWidths(std::wstring_view s) const;
    // The x of every caret position 0 to s.size(), as sf::Text::findCharacterPos.
    std::vector<float> caretXs(std::wstring_view s) const;

private:
    const sf::Font& font_;
    unsigned charSize_;
    bool bold_;
    float spaceAdvance_;
};

class SfmlTextBox {
public:
    struct VisualLine {
        std::wstring text;  // never holds "\r" or "\n"
        int paragraphIndex = 0;
        int start = 0;  // text offset of the first character, set by buildLines
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
    void draw(sf::RenderTarget& target);
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

    // The mouse, edges included. A press on the scrollbar grabs the thumb or
    // jumps to where it lands; anywhere else it places the caret and starts a
    // selection that drags extend, beyond the box too, until the release.
    bool contains(float px, float py) const;
    void press(float px, float py);
    void drag(float px, float py);
    void release();
};

}  // namespace ludexa
