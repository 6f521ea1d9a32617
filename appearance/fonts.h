// The two fonts of the window (UI and content) and the tables the settings
// dialog offers fonts from.
#pragma once

#include <SFML/Graphics/Font.hpp>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/fonts.h"

namespace ludexa {

// (display name, font family) pairs offered by the settings dialog when installed.
extern const std::vector<std::pair<std::wstring, std::wstring>> COMMON_FONTS;
// (font file name without extension, display name), matched exactly by the
// dialog's system font search.
extern const std::vector<std::pair<std::wstring, std::wstring>> FONT_NAME_MAP;

// One face of a TrueType/OpenType collection rebuilt as a standalone font file,
// since SFML 2.5 only ever opens face 0. Empty when the data is not a valid
// collection or the index is out of range.
std::vector<std::uint8_t> extractCollectionFace(const std::vector<std::uint8_t>& collection, int faceIndex);

// Opens `face` into `font`. Faces other than 0 are rebuilt in `storage`, which
// must stay alive (and unmoved in memory) as long as the font is used.
[[nodiscard]] bool loadFontFace(const FontFace& face, sf::Font& font, std::vector<std::uint8_t>& storage);

// Tries each face in order; true at the first that opens.
[[nodiscard]] bool loadFirstFont(const std::vector<FontFace>& chain, sf::Font& font,
                                 std::vector<std::uint8_t>& storage);

// What the start-up says about the fonts it found.
enum class FontProblem {
    None,
    NoChinese,  // text can be drawn, but Chinese characters come out as boxes
    NoFont,     // nothing can be drawn: the program cannot go on
};
FontProblem fontProblemFor(bool anyFontLoaded, bool uiFontCoversChinese);

// The message box for a problem, in Chinese and in English (without a
// Chinese font the dialog's Chinese may be boxes too): which font is missing
// and the Debian package that brings it.
struct FontProblemMessage {
    std::string caption;
    std::string text;
};
FontProblemMessage fontProblemMessage(FontProblem problem);

// Whether the face of `chain` that loadFirstFont takes covers Simplified Chinese.
bool firstLoadableCoversChinese(const std::vector<FontFace>& chain);

}  // namespace ludexa
