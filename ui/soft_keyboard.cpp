// The on-screen keyboard for typing a search with a gamepad: geometry, moves,
// edits and drawing. GameLauncher::drawSoftKeyboard draws it over the frame.
#include "ui/soft_keyboard.h"

#include <algorithm>

#include "app/GameLauncher.h"
#include "appearance/themes.h"
#include "ui/draw.h"

namespace ludexa {
namespace {

constexpr float kKeyGap = 8;
constexpr float kPanelPadding = 10;
constexpr float kPanelBottomMargin = 50;

int rowLength(const SoftKeyRows& rows, int row) { return static_cast<int>(rows[static_cast<std::size_t>(row)].size()); }

}  // namespace

SoftKeyboardLayout layoutSoftKeyboard(float windowWidth, float windowHeight, const SoftKeyRows& rows) {
    SoftKeyboardLayout layout;
    const float panelWidth = 0.75f * windowWidth;
    layout.keySize = panelWidth / 12;
    layout.pitch = layout.keySize + kKeyGap;
    const float panelHeight = 4 * layout.pitch + 2 * kPanelPadding;
    layout.panel = {(windowWidth - panelWidth) / 2, windowHeight - panelHeight - kPanelBottomMargin, panelWidth,
                    panelHeight};
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const float n = static_cast<float>(rows[r].size());
        const float rowWidth = n > 0 ? (n - 1) * kKeyGap + n * layout.keySize : 0;
        const float firstX = layout.panel.left + (panelWidth - rowWidth) / 2;
        const float y = layout.panel.top + kPanelPadding + static_cast<float>(r) * layout.pitch;
        for (std::size_t c = 0; c < rows[r].size(); ++c)
            layout.keys[r].emplace_back(firstX + static_cast<float>(c) * layout.pitch, y, layout.keySize,
                                        layout.keySize);
    }
    return layout;
}

std::string softKeyLabel(char key) { return key == kSoftBackspaceKey ? std::string("<-") : std::string(1, key); }

void clampSoftKey(int& row, int& column, const SoftKeyRows& rows) {
    row = std::clamp(row, 0, static_cast<int>(rows.size()) - 1);
    column = std::clamp(column, 0, std::max(0, rowLength(rows, row) - 1));
}

bool moveSoftKey(int& row, int& column, int dx, int dy, const SoftKeyRows& rows) {
    const int oldRow = row, oldColumn = column;
    clampSoftKey(row, column, rows);
    if (dx < 0 && column > 0) --column;
    if (dx > 0 && column < rowLength(rows, row) - 1) ++column;
    if (dy < 0 && row > 0) --row;
    if (dy > 0 && row < static_cast<int>(rows.size()) - 1) ++row;
    column = std::min(column, std::max(0, rowLength(rows, row) - 1));
    return row != oldRow || column != oldColumn;
}

SoftKeyEdit softKeyEdit(const SoftKeyRows& rows, int row, int column) {
    clampSoftKey(row, column, rows);
    const auto& keys = rows[static_cast<std::size_t>(row)];
    if (keys.empty()) return {};
    const char key = keys[static_cast<std::size_t>(column)];
    if (key == kSoftBackspaceKey) return {SoftKeyEdit::Kind::Backspace, 0};
    return {SoftKeyEdit::Kind::Type, key};
}

bool applySoftKeyEdit(std::wstring& text, const SoftKeyEdit& edit) {
    switch (edit.kind) {
        case SoftKeyEdit::Kind::Type:
            text.push_back(static_cast<wchar_t>(static_cast<unsigned char>(edit.character)));
            return true;
        case SoftKeyEdit::Kind::Backspace:
            if (text.empty()) return false;
            text.pop_back();
            return true;
        case SoftKeyEdit::Kind::None: break;
    }
    return false;
}

void drawSoftKeyboard(sf::RenderTarget& target, const sf::Font& font, const SoftKeyboardLayout& layout,
                      const SoftKeyRows& rows, int highlightRow, int highlightColumn) {
    fillRect(target, layout.panel.left, layout.panel.top, layout.panel.width, layout.panel.height,
             kSoftKeyboardPanel);
    const unsigned labelSize = static_cast<unsigned>(std::max(1.0f, layout.keySize / 2));
    for (std::size_t r = 0; r < layout.keys.size(); ++r) {
        for (std::size_t c = 0; c < layout.keys[r].size(); ++c) {
            const auto& key = layout.keys[r][c];
            const bool highlighted = static_cast<int>(r) == highlightRow && static_cast<int>(c) == highlightColumn;
            fillRect(target, key.left, key.top, key.width, key.height,
                     highlighted ? kSoftKeyHighlighted : kSoftKey);
            auto label = makeText(softKeyLabel(rows[r][c]), font, labelSize, sf::Color::White);
            centreText(label, key.left + key.width / 2, key.top + key.height / 2);
            target.draw(label);
        }
    }
}

void GameLauncher::drawSoftKeyboard() {
    if (!softKeyboard.visible) return;
    ludexa::drawSoftKeyboard(window, contentFont, layoutSoftKeyboard(windowWidth, windowHeight, softKeyboard.rows),
                             softKeyboard.rows, softKeyboard.row, softKeyboard.column);
}

}  // namespace ludexa
