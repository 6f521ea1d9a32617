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
// Only the Simplified Chinese face of a CJK collection is ever listed.
std::vector<FontFace> uiFontChain();

// Installed font files with their family names, for the settings dialog.
struct InstalledFont {
    std::string family;
    FontFace face;
};
std::vector<InstalledFont> installedFonts();

}  // namespace ludexa

namespace ludexa {
// The face of a font file to use: for a collection, its Simplified Chinese face
// when it has one, else face 0.
FontFace faceForFile(const std::string& path);
// The regular face of an installed family (exact family name), if any.
std::optional<FontFace> findFontFamily(const std::string& family);
}  // namespace ludexa
