// Icons as plain RGBA pixels: from a picture file, from a name in the icon
// theme, or the icon the desktop shows for a file's type. The caller decides
// which size to keep and uploads textures on the main thread itself.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/image_codecs.h"  // RgbaImage, the layer's one pixel-buffer type

namespace ludexa {

// Where a shortcut's icon comes from.
struct IconSource {
    enum class Kind {
        ImageFile,  // a picture file (PNG, SVG, ICO, XPM, ...)
        ThemeName,  // a name looked up in the icon theme, such as "steam"
        FileType,   // the icon of the type of the file at this path (it need not exist)
    };
    Kind kind = Kind::ImageFile;
    std::string value;

    bool operator==(const IconSource&) const = default;
};

enum class IconFit {
    AtMost,  // the icon's own size, made smaller to fit the square but never larger
    Exact,   // scaled up or down to fit the square, centred on a transparent square
};

// Loads icons for one thread. Each loader keeps its own icon-theme object, so a
// worker can use one while the main thread runs GTK.
class IconLoader {
public:
    virtual ~IconLoader() = default;
    // nullopt when the source gives no icon (missing or unreadable file, name
    // not in the theme, oversized picture).
    virtual std::optional<RgbaImage> load(const IconSource& source, int size, IconFit fit) = 0;
    // Two sources with the same key give the same icon; a file type's key is
    // its content type, so many programs of one type share one lookup.
    virtual std::string cacheKey(const IconSource& source);
};

// A loader on the icon theme named `themeName` (empty: the toolkit's default,
// with the usual fallbacks to Adwaita and hicolor).
std::unique_ptr<IconLoader> makeIconLoader(const std::string& themeName = {});

// The icon theme the user chose in the toolkit's settings; empty when the
// toolkit is not running. Main thread only.
std::string userIconThemeName();

}  // namespace ludexa
