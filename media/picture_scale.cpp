// Picture down-scaling with stb_image_resize, compiled here with static
// linkage so that no other translation unit can clash with it.
#include "media/picture_scale.h"

#include <algorithm>
#include <cmath>

#define STB_IMAGE_RESIZE_IMPLEMENTATION
#define STB_IMAGE_RESIZE_STATIC
#include <stb_image_resize.h>

namespace ludexa {

PictureSize fitWithin(int width, int height, int maxWidth, int maxHeight) {
    if (width <= 0 || height <= 0) return {std::max(0, width), std::max(0, height)};
    double scale = 1.0;
    if (maxWidth > 0 && width > maxWidth) scale = std::min(scale, static_cast<double>(maxWidth) / width);
    if (maxHeight > 0 && height > maxHeight) scale = std::min(scale, static_cast<double>(maxHeight) / height);
    if (scale >= 1.0) return {width, height};
    // Rounded, then kept within the bounds the rounding may have crossed.
    int w = std::max(1, static_cast<int>(std::lround(width * scale)));
    int h = std::max(1, static_cast<int>(std::lround(height * scale)));
    if (maxWidth > 0) w = std::min(w, maxWidth);
    if (maxHeight > 0) h = std::min(h, maxHeight);
    return {w, h};
}

bool resizePicture(const RgbaImage& in, int width, int height, RgbaImage& out) noexcept {
    if (in.empty() || width <= 0 || height <= 0 ||
        in.pixels.size() != static_cast<std::size_t>(in.width) * static_cast<std::size_t>(in.height) * 4)
        return false;
    try {
        RgbaImage scaled;
        scaled.width = width;
        scaled.height = height;
        scaled.pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4);
        // Shrinking uses the filter's full support over the source (an area
        // average weighted by a Mitchell curve); alpha weights the colours so
        // transparent pixels do not darken the edges.
        const int ok = stbir_resize_uint8_generic(in.pixels.data(), in.width, in.height, 0, scaled.pixels.data(), width,
                                                  height, 0, 4, 3, 0, STBIR_EDGE_CLAMP, STBIR_FILTER_MITCHELL,
                                                  STBIR_COLORSPACE_SRGB, nullptr);
        if (!ok) return false;
        out = std::move(scaled);
        return true;
    } catch (...) {
        return false;
    }
}

bool shrinkToFit(RgbaImage& image, int maxWidth, int maxHeight) noexcept {
    const PictureSize size = fitWithin(image.width, image.height, maxWidth, maxHeight);
    if (size.width == image.width && size.height == image.height) return false;
    return resizePicture(image, size.width, size.height, image);
}

}  // namespace ludexa
