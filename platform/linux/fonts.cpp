// Font discovery with fontconfig; FreeType measures what fontconfig leaves
// unsaid about a face.
#include "platform/fonts.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_ADVANCES_H

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <type_traits>

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

// fontconfig's best installed face for a request such as "sans-serif:lang=zh-cn";
// fontconfig answers with some font whenever any is installed.
bool bestMatch(const char* request, FontFace& out) {
    PatternPtr pattern(FcNameParse(reinterpret_cast<const FcChar8*>(request)));
    if (!pattern) return false;
    FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern);
    FcDefaultSubstitute(pattern.get());
    FcResult result = FcResultNoMatch;
    PatternPtr match(FcFontMatch(nullptr, pattern.get(), &result));
    FcChar8* file = nullptr;
    if (!match || FcPatternGetString(match.get(), FC_FILE, 0, &file) != FcResultMatch) return false;
    int index = 0;
    FcPatternGetInteger(match.get(), FC_INDEX, 0, &index);
    out.path = reinterpret_cast<const char*>(file);
    out.faceIndex = index & 0xFFFF;
    return true;
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
    for (const char* request : {"sans-serif:lang=zh-cn", "sans-serif"}) {
        FontFace face;
        if (!bestMatch(request, face)) continue;
        const bool listed = std::any_of(chain.begin(), chain.end(), [&](const FontFace& f) {
            return f.path == face.path && f.faceIndex == face.faceIndex;
        });
        if (!listed) chain.push_back(face);
    }
    return chain;
}

bool coversSimplifiedChinese(const FontFace& face) {
    if (!ensureInit()) return false;
    PatternPtr pattern(FcFreeTypeQuery(reinterpret_cast<const FcChar8*>(face.path.c_str()), face.faceIndex,
                                       nullptr, nullptr));
    FcLangSet* languages = nullptr;
    return pattern && FcPatternGetLangSet(pattern.get(), FC_LANG, 0, &languages) == FcResultMatch &&
           FcLangSetHasLang(languages, reinterpret_cast<const FcChar8*>("zh-cn")) == FcLangEqual;
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

namespace {

struct FreeTypeLibraryDeleter {
    void operator()(FT_Library library) const { FT_Done_FreeType(library); }
};
struct FreeTypeFaceDeleter {
    void operator()(FT_Face face) const { FT_Done_Face(face); }
};

// Whether the face's Latin letters share one width. fontconfig leaves the
// spacing of large CJK collections unset, so the letters are measured: a
// monospaced face draws "i" as wide as "M".
bool measuresMonospaced(FT_Library library, const std::string& path, int index) {
    FT_Face raw = nullptr;
    if (FT_New_Face(library, path.c_str(), index, &raw) != 0) return false;
    std::unique_ptr<std::remove_pointer_t<FT_Face>, FreeTypeFaceDeleter> face(raw);
    if (FT_IS_FIXED_WIDTH(face.get())) return true;
    const FT_UInt narrow = FT_Get_Char_Index(face.get(), 'i');
    const FT_UInt wide = FT_Get_Char_Index(face.get(), 'M');
    FT_Fixed narrowAdvance = 0, wideAdvance = 0;
    if (narrow == 0 || wide == 0 || FT_Get_Advance(face.get(), narrow, FT_LOAD_NO_SCALE, &narrowAdvance) != 0 ||
        FT_Get_Advance(face.get(), wide, FT_LOAD_NO_SCALE, &wideAdvance) != 0)
        return false;
    return narrowAdvance == wideAdvance;
}

// The faces fontconfig knows of the file; a file it has not indexed (a font
// outside the font folders) is read directly.
std::unique_ptr<FcFontSet, FontSetDeleter> facesOfFile(const std::string& path) {
    PatternPtr pattern(FcPatternCreate());
    FcPatternAddString(pattern.get(), FC_FILE, reinterpret_cast<const FcChar8*>(path.c_str()));
    std::unique_ptr<FcObjectSet, ObjectSetDeleter> objects(
        FcObjectSetBuild(FC_FAMILY, FC_FAMILYLANG, FC_INDEX, FC_WEIGHT, FC_SPACING, FC_LANG, nullptr));
    std::unique_ptr<FcFontSet, FontSetDeleter> listed(FcFontList(nullptr, pattern.get(), objects.get()));
    if (listed && listed->nfont > 0) return listed;
    std::unique_ptr<FcFontSet, FontSetDeleter> scanned(FcFontSetCreate());
    int count = 0;
    if (!scanned || FcFreeTypeQueryAll(reinterpret_cast<const FcChar8*>(path.c_str()), -1, nullptr, &count,
                                       scanned.get()) == 0)
        return nullptr;
    return scanned;
}

std::vector<std::string> stringValues(FcPattern* font, const char* object) {
    std::vector<std::string> values;
    FcChar8* value = nullptr;
    for (int k = 0; FcPatternGetString(font, object, k, &value) == FcResultMatch; ++k)
        values.emplace_back(reinterpret_cast<const char*>(value));
    return values;
}

bool isRegularFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return false;
    struct stat st {};
    const bool regular = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    ::close(fd);
    return regular;
}

}  // namespace

FontFace faceForFile(const std::string& path) {
    FontFace face{path, 0};
    // FreeType would open a FIFO and wait for a writer for good: only regular
    // files are asked about (the load that follows refuses anything else).
    if (!isRegularFile(path) || !ensureInit()) return face;
    const auto fonts = facesOfFile(path);
    if (!fonts || fonts->nfont <= 1) return face;

    FT_Library rawLibrary = nullptr;
    if (FT_Init_FreeType(&rawLibrary) != 0) rawLibrary = nullptr;
    std::unique_ptr<std::remove_pointer_t<FT_Library>, FreeTypeLibraryDeleter> library(rawLibrary);
    auto* const simplifiedChinese = reinterpret_cast<const FcChar8*>("zh-cn");

    std::vector<FaceTraits> faces;
    for (int i = 0; i < fonts->nfont; ++i) {
        FcPattern* font = fonts->fonts[i];
        FaceTraits traits;
        FcPatternGetInteger(font, FC_INDEX, 0, &traits.index);
        // Variable fonts list each named instance with the instance in the
        // upper bits; the face itself is the lower 16.
        traits.index &= 0xFFFF;
        FcPatternGetInteger(font, FC_WEIGHT, 0, &traits.weight);
        FcLangSet* languages = nullptr;
        const bool covers = FcPatternGetLangSet(font, FC_LANG, 0, &languages) == FcResultMatch &&
                            FcLangSetHasLang(languages, simplifiedChinese) == FcLangEqual;
        traits.chineseRank =
            simplifiedChineseRank(stringValues(font, FC_FAMILY), stringValues(font, FC_FAMILYLANG), covers);
        int spacing = FC_PROPORTIONAL;
        if (FcPatternGetInteger(font, FC_SPACING, 0, &spacing) == FcResultMatch)
            traits.monospaced = spacing != FC_PROPORTIONAL;
        else if (library)
            traits.monospaced = measuresMonospaced(library.get(), path, traits.index);
        faces.push_back(traits);
    }
    const int best = chooseFace(faces);
    if (best >= 0) face.faceIndex = faces[static_cast<std::size_t>(best)].index;
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
