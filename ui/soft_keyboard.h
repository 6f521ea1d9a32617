// The on-screen keyboard a controller user types the search with: four rows of
// keys in a panel at the bottom of the window. Its geometry, highlight moves and
// edits are plain functions here; the gamepad (ui/gamepad.cpp) decides when they
// run and the frame renderer draws it over everything else.
#pragma once

#include <SFML/Graphics.hpp>

#include <array>
#include <string>
#include <vector>

namespace ludexa {

// The rows as one character per key. '<' is the backspace key (labelled "<-");
// the '-' after it is an ordinary key.
using SoftKeyRows = std::array<std::string, 4>;
inline constexpr char kSoftBackspaceKey = '<';
inline constexpr int kSoftKeyOpenRow = 2;     // where the highlight starts each
inline constexpr int kSoftKeyOpenColumn = 4;  // time the keyboard opens: "G"

struct SoftKeyboardLayout {
    sf::FloatRect panel;
    float keySize = 0;  // keys are squares
    float pitch = 0;    // key size + the gap between keys
    std::array<std::vector<sf::FloatRect>, 4> keys;
};

// Panel 3/4 of the window wide, centred; keys 1/12 of the panel wide, 8 apart;
// each row centred in the panel; the panel's bottom 50 pixels above the window's.
SoftKeyboardLayout layoutSoftKeyboard(float windowWidth, float windowHeight, const SoftKeyRows& rows);

// What a key shows: "<-" for backspace, else its character.
std::string softKeyLabel(char key);

// Moves the highlight one key (dx, dy in -1..1). Up and down keep the column
// when the new row is long enough, else go to its last key. Returns false when
// the highlight stayed where it was.
bool moveSoftKey(int& row, int& column, int dx, int dy, const SoftKeyRows& rows);

// Row and column brought back inside the keyboard.
void clampSoftKey(int& row, int& column, const SoftKeyRows& rows);

// An edit of the search text made by the keyboard.
struct SoftKeyEdit {
    enum class Kind { None, Type, Backspace };
    Kind kind = Kind::None;
    char character = 0;
};

// The edit a press on the key at (row, column) makes.
SoftKeyEdit softKeyEdit(const SoftKeyRows& rows, int row, int column);

// Appends the typed character, or removes the last character. False when the
// text did not change (backspace on an empty text), so nothing is refiltered.
bool applySoftKeyEdit(std::wstring& text, const SoftKeyEdit& edit);

// Draws the panel and the keys, the one at (highlightRow, highlightColumn)
// highlighted; labels in `font` at half the key size, centred on their key.
void drawSoftKeyboard(sf::RenderTarget& target, const sf::Font& font, const SoftKeyboardLayout& layout,
                      const SoftKeyRows& rows, int highlightRow, int highlightColumn);

}  // namespace ludexa
