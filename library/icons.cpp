// The jumbo-icon plausibility test, the icon chain of a new game and PNG
// encoding. stb_image_write is compiled here, with static linkage so that it
// cannot clash with another translation unit that compiles it too.
#include "library/icons.h"

#include <algorithm>
#include <cstdlib>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#define STBI_WRITE_NO_STDIO
#include <stb_image_write.h>

namespace ludexa {
namespace {

constexpr int kColourTolerance = 30;
constexpr int kMinContentSpan = 150;

struct Rgb {
    int r, g, b;
};

Rgb pixelAt(const RgbaImage& image, int x, int y) {
    const auto* p = image.pixels.data() + (static_cast<std::size_t>(y) * image.width + x) * 4;
    return {p[0], p[1], p[2]};
}

int largestCornerDifference(const Rgb& a, const Rgb& b, const Rgb& c) {
    int worst = 0;
    for (auto channel : {&Rgb::r, &Rgb::g, &Rgb::b}) {
        worst = std::max({worst, std::abs(a.*channel - b.*channel), std::abs(a.*channel - c.*channel),
                          std::abs(b.*channel - c.*channel)});
    }
    return worst;
}

void appendBytes(void* context, void* data, int size) {
    auto* out = static_cast<std::vector<unsigned char>*>(context);
    const auto* bytes = static_cast<const unsigned char*>(data);
    if (size > 0) out->insert(out->end(), bytes, bytes + size);
}

}  // namespace

bool isRealJumboIcon(const RgbaImage& image) {
    constexpr int n = kJumboIconSize;
    if (image.width != n || image.height != n || image.pixels.size() != static_cast<std::size_t>(n) * n * 4)
        return false;
    // The top-left corner is where a small icon is drawn, so it is not a
    // sample of the background.
    const Rgb topRight = pixelAt(image, n - 1, 0);
    const Rgb bottomLeft = pixelAt(image, 0, n - 1);
    const Rgb bottomRight = pixelAt(image, n - 1, n - 1);
    if (largestCornerDifference(topRight, bottomLeft, bottomRight) > kColourTolerance) return true;

    const Rgb background{(topRight.r + bottomLeft.r + bottomRight.r) / 3,
                         (topRight.g + bottomLeft.g + bottomRight.g) / 3,
                         (topRight.b + bottomLeft.b + bottomRight.b) / 3};
    int minX = n, minY = n, maxX = -1, maxY = -1;
    for (int y = 0; y < n; ++y) {
        for (int x = 0; x < n; ++x) {
            const Rgb p = pixelAt(image, x, y);
            if (std::abs(p.r - background.r) > kColourTolerance || std::abs(p.g - background.g) > kColourTolerance ||
                std::abs(p.b - background.b) > kColourTolerance) {
                minX = std::min(minX, x), maxX = std::max(maxX, x);
                minY = std::min(minY, y), maxY = std::max(maxY, y);
            }
        }
    }
    if (maxX < 0) return false;
    return maxX - minX >= kMinContentSpan || maxY - minY >= kMinContentSpan;
}

RgbaImage renderOnBlack(const RgbaImage& icon, int size) {
    RgbaImage out;
    if (size <= 0) return out;
    out.width = size;
    out.height = size;
    out.pixels.assign(static_cast<std::size_t>(size) * size * 4, 0);
    for (std::size_t i = 3; i < out.pixels.size(); i += 4) out.pixels[i] = 255;
    if (icon.pixels.size() != static_cast<std::size_t>(std::max(icon.width, 0)) * std::max(icon.height, 0) * 4)
        return out;
    const int w = std::min(icon.width, size);
    const int h = std::min(icon.height, size);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const auto* src = icon.pixels.data() + (static_cast<std::size_t>(y) * icon.width + x) * 4;
            auto* dst = out.pixels.data() + (static_cast<std::size_t>(y) * size + x) * 4;
            for (int c = 0; c < 3; ++c) dst[c] = static_cast<std::uint8_t>((src[c] * src[3] + 127) / 255);
        }
    }
    return out;
}

std::optional<RgbaImage> iconFromSource(IconLoader& loader, const IconSource& source) {
    const auto large = loader.load(source, kJumboIconSize, IconFit::AtMost);
    if (!large || large->empty()) return std::nullopt;
    if (isRealJumboIcon(renderOnBlack(*large, kJumboIconSize))) {
        if (large->width == kJumboIconSize && large->height == kJumboIconSize) return large;
        if (auto square = loader.load(source, kJumboIconSize, IconFit::Exact); square && !square->empty())
            return square;
    }
    if (auto small = loader.load(source, kFallbackIconSize, IconFit::Exact); small && !small->empty()) return small;
    return std::nullopt;
}

std::optional<RgbaImage> iconForNewGame(IconLoader& loader, const std::vector<IconSource>& sources) {
    for (const auto& source : sources)
        if (auto icon = iconFromSource(loader, source)) return icon;
    return std::nullopt;
}

std::vector<unsigned char> encodePng(const RgbaImage& image) {
    std::vector<unsigned char> bytes;
    if (image.empty() || image.pixels.size() != static_cast<std::size_t>(image.width) * image.height * 4)
        return bytes;
    if (stbi_write_png_to_func(appendBytes, &bytes, image.width, image.height, 4, image.pixels.data(),
                               image.width * 4) == 0)
        bytes.clear();
    return bytes;
}

}  // namespace ludexa
