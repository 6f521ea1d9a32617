// Font discovery with fontconfig.
#include "platform/fonts.h"

#include <fontconfig/fontconfig.h>

#include <cstdlib>
#include <memory>

namespace ludexa {
namespace {

struct PatternDeleter {
    void operator()(FcPattern* p) const { FcPatternDestroy(p); }
};
struct ObjectSetDeleter {
    void operator()(FcObjectSet* o) const { FcObjectSetDestroy(o); }
};
struct FontSetDeleter {
    void operator()(FcFontSet* s) const { FcFontSetDestroy(s); }
};
using PatternPtr = std::unique_ptr<FcPattern, PatternDeleter>;

bool ensureInit() {
    static const bool ok = FcInit() == FcTrue;
    return ok;
}

// The regular face of `family` (exact family name), if installed.
bool findFamily(const char* family, FontFace& out) {
    PatternPtr pattern(FcPatternCreate());
    FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(family));
    std::unique_ptr<FcObjectSet, ObjectSetDeleter> objects(
        FcObjectSetBuild(FC_FILE, FC_INDEX, FC_WEIGHT, FC_SLANT, nullptr));
    std::unique_ptr<FcFontSet, FontSetDeleter> fonts(FcFontList(nullptr, pattern.get(), objects.get()));
    if (!fonts) return false;
    int bestDistance = 1 << 30;
    for (int i = 0; i < fonts->nfont; ++i) {
        FcPattern* font = fonts->fonts[i];
        FcChar8* file = nullptr;
        int index = 0, weight = FC_WEIGHT_REGULAR, slant = FC_SLANT_ROMAN;
        if (FcPatternGetString(font, FC_FILE, 0, &file) != FcResultMatch) continue;
        FcPatternGetInteger(font, FC_INDEX, 0, &index);
        FcPatternGetInteger(font, FC_WEIGHT, 0, &weight);
        FcPatternGetInteger(font, FC_SLANT, 0, &slant);
        const int distance = std::abs(weight - FC_WEIGHT_REGULAR) + (slant != FC_SLANT_ROMAN ? 1000 : 0);
        if (distance < bestDistance) {
            bestDistance = distance;
            out.path = reinterpret_cast<const char*>(file);
            out.faceIndex = index;
        }
    }
    return bestDistance < (1 << 30);
}

}  // namespace

std::vector<FontFace> uiFontChain() {
    std::vector<FontFace> chain;
    if (!ensureInit()) return chain;
    static const char* const kFamilies[] = {
        "Noto Sans CJK SC", "WenQuanYi Micro Hei", "WenQuanYi Zen Hei", "Droid Sans Fallback",
        "AR PL UMing CN",   "DejaVu Sans",
    };
    for (const char* family : kFamilies) {
        FontFace face;
        if (findFamily(family, face)) chain.push_back(face);
    }
    return chain;
}

std::vector<InstalledFont> installedFonts() {
    std::vector<InstalledFont> out;
    if (!ensureInit()) return out;
    PatternPtr pattern(FcPatternCreate());
    std::unique_ptr<FcObjectSet, ObjectSetDeleter> objects(FcObjectSetBuild(FC_FAMILY, FC_FILE, FC_INDEX, nullptr));
    std::unique_ptr<FcFontSet, FontSetDeleter> fonts(FcFontList(nullptr, pattern.get(), objects.get()));
    if (!fonts) return out;
    for (int i = 0; i < fonts->nfont; ++i) {
        FcChar8* family = nullptr;
        FcChar8* file = nullptr;
        int index = 0;
        if (FcPatternGetString(fonts->fonts[i], FC_FAMILY, 0, &family) != FcResultMatch) continue;
        if (FcPatternGetString(fonts->fonts[i], FC_FILE, 0, &file) != FcResultMatch) continue;
        FcPatternGetInteger(fonts->fonts[i], FC_INDEX, 0, &index);
        out.push_back({reinterpret_cast<const char*>(family), {reinterpret_cast<const char*>(file), index}});
    }
    return out;
}

}  // namespace ludexa

namespace ludexa {

FontFace faceForFile(const std::string& path) {
    FontFace face{path, 0};
    if (!ensureInit()) return face;
    PatternPtr pattern(FcPatternCreate());
    FcPatternAddString(pattern.get(), FC_FILE, reinterpret_cast<const FcChar8*>(path.c_str()));
    std::unique_ptr<FcObjectSet, ObjectSetDeleter> objects(FcObjectSetBuild(FC_FAMILY, FC_INDEX, nullptr));
    std::unique_ptr<FcFontSet, FontSetDeleter> fonts(FcFontList(nullptr, pattern.get(), objects.get()));
    if (!fonts) return face;
    for (int i = 0; i < fonts->nfont; ++i) {
        int index = 0;
        FcPatternGetInteger(fonts->fonts[i], FC_INDEX, 0, &index);
        FcChar8* family = nullptr;
        for (int k = 0; FcPatternGetString(fonts->fonts[i], FC_FAMILY, k, &family) == FcResultMatch; ++k) {
            const std::string name = reinterpret_cast<const char*>(family);
            if (name.size() >= 3 && name.compare(name.size() - 3, 3, " SC") == 0) {
                face.faceIndex = index;
                return face;
            }
        }
    }
    return face;
}

}  // namespace ludexa

namespace ludexa {

std::optional<FontFace> findFontFamily(const std::string& family) {
    FontFace face;
    if (!ensureInit() || !findFamily(family.c_str(), face)) return std::nullopt;
    return face;
}

}  // namespace ludexa
