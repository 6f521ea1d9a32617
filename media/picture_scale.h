// Shrinking large pictures before they reach the GPU. A 24-megapixel photo
// uploaded as it is costs a frame of several hundred milliseconds and a
// hundred megabytes of texture; scaled on the loader thread to the largest
// size it can be shown at, it costs neither.
#pragma once

#include "platform/image_codecs.h"

namespace ludexa {

// Textures taller than this are not created by every driver; a very tall
// picture is shown narrower rather than not at all.
inline constexpr int kMaxPictureTextureSide = 8192;

struct PictureSize {
    int width = 0;
    int height = 0;
    bool operator==(const PictureSize&) const = default;
};

// The size a width x height picture is scaled to so that it is at most
// maxWidth wide and maxHeight high, keeping its aspect ratio (each side at
// least 1 pixel); its own size when it already fits. A bound of 0 or less
// leaves that side unbounded.
PictureSize fitWithin(int width, int height, int maxWidth, int maxHeight);

// Resamples `in` to width x height with a filter that averages every source
// pixel (sRGB-aware, alpha-weighted), so a scaled-down picture keeps its
// detail without aliasing. False, with `out` untouched, on invalid input.
[[nodiscard]] bool resizePicture(const RgbaImage& in, int width, int height, RgbaImage& out) noexcept;

// Scales `image` down in place to fit the bounds; false when it already fit
// or could not be scaled (it is then left as it was).
bool shrinkToFit(RgbaImage& image, int maxWidth, int maxHeight) noexcept;

}  // namespace ludexa
