// Installed fonts, through fontconfig.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace ludexa {

struct FontFace {
    std::string path;   // font file
    int faceIndex = 0;  // face inside a collection (.ttc)
};

// The UI font chain: installed regular faces that cover Simplified Chinese, in
// a fixed order of preference (Noto Sans CJK SC, WenQuanYi Micro Hei,
// WenQuanYi Zen Hei, Droid Sans Fallback, AR PL UMing), then DejaVu Sans.
// Only the Simplified Chinese face of a CJK collection is ever listed. After
// those come fontconfig's choices for Simplified Chinese and for any text, so
// that a system without these families still draws with what it has.
std::vector<FontFace> uiFontChain();

// Whether the face has the characters of Simplified Chinese (fontconfig's
// language coverage for zh-cn).
bool coversSimplifiedChinese(const FontFace& face);

// Installed font files with their family names, for the settings dialog.
struct InstalledFont {
    std::string family;
    FontFace face;
};
std::vector<InstalledFont> installedFonts();

}  // namespace ludexa

namespace ludexa {
// The face of a font file to use. A collection (.ttc) holds several faces that
// share one name on the user's list, for example Noto Sans CJK's Japanese,
// Korean, Simplified and Traditional Chinese faces, each in a proportional and
// a monospaced form: the choice is the face made for Simplified Chinese, then
// proportional, then nearest the regular weight. Face 0 when nothing is known.
FontFace faceForFile(const std::string& path);

// What the face choice knows of one face of a file.
struct FaceTraits {
    int index = 0;             // face inside the file
    int chineseRank = 0;       // simplifiedChineseRank()
    int weight = 80;           // fontconfig's scale: 80 regular, 200 bold
    bool monospaced = false;   // Latin letters all as wide as each other
};
// How well a face serves Simplified Chinese text: 3 when its family name marks
// it as made for Simplified Chinese ("... SC", "... CN"), 2 when it carries a
// family name for a Simplified Chinese locale, 1 when it merely covers the
// language, 0 when it covers it not at all or is marked for another region
// ("... JP", "... TC").
int simplifiedChineseRank(const std::vector<std::string>& families, const std::vector<std::string>& familyLanguages,
                          bool coversSimplifiedChinese);
// Position in `faces` of the face to use; -1 for an empty list.
int chooseFace(const std::vector<FaceTraits>& faces);
// The regular face of an installed family (exact family name), if any.
std::optional<FontFace> findFontFamily(const std::string& family);
}  // namespace ludexa
