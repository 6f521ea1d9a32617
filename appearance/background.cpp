// The custom background picture's file: decoding, scaling and JPEG encoding.
// stb_image_write is compiled here with static linkage, so it cannot clash
// with another translation unit that compiles it too.
#include "appearance/background.h"

#include <algorithm>
#include <cmath>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#define STBI_WRITE_NO_STDIO
#include <stb_image_write.h>

namespace ludexa {
namespace {

// The colour the window is cleared to under the background.
constexpr int kUnderR = 30, kUnderG = 30, kUnderB = 30;

void appendBytes(void* context, void* data, int size) {
    auto* out = static_cast<std::vector<std::uint8_t>*>(context);
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    out->insert(out->end(), bytes, bytes + size);
}

}  // namespace

PictureSize backgroundSizeFor(int width, int height, int screenWidth, int screenHeight) {
    if (width <= 0 || height <= 0 || screenWidth <= 0 || screenHeight <= 0) return {width, height};
    const double scale = std::max(static_cast<double>(screenWidth) / width, static_cast<double>(screenHeight) / height);
    if (scale >= 1.0) return {width, height};
    return {std::max(1, static_cast<int>(std::ceil(width * scale))), std::max(1, static_cast<int>(std::ceil(height * scale)))};
}

bool encodeBackgroundJpeg(const RgbaImage& image, std::vector<std::uint8_t>& out) noexcept {
    if (image.empty() ||
        image.pixels.size() != static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height) * 4)
        return false;
    try {
        std::vector<std::uint8_t> rgb(static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height) * 3);
        for (std::size_t i = 0, n = rgb.size() / 3; i < n; ++i) {
            const std::uint8_t* p = &image.pixels[i * 4];
            const int a = p[3];
            rgb[i * 3 + 0] = static_cast<std::uint8_t>((p[0] * a + kUnderR * (255 - a) + 127) / 255);
            rgb[i * 3 + 1] = static_cast<std::uint8_t>((p[1] * a + kUnderG * (255 - a) + 127) / 255);
            rgb[i * 3 + 2] = static_cast<std::uint8_t>((p[2] * a + kUnderB * (255 - a) + 127) / 255);
        }
        std::vector<std::uint8_t> jpeg;
        if (!stbi_write_jpg_to_func(&appendBytes, &jpeg, image.width, image.height, 3, rgb.data(), 90) || jpeg.empty())
            return false;
        out = std::move(jpeg);
        return true;
    } catch (...) {
        return false;
    }
}

BackgroundPicture prepareBackgroundPicture(const std::string& path, int screenWidth, int screenHeight,
                                           bool encodeJpeg) noexcept {
    BackgroundPicture result;
    try {
        RgbaImage image;
        result.outcome = decodeStillPictureFile(path, image, &result.claimed);
        if (result.outcome != PictureOutcome::Decoded) return result;
        // Nothing larger than what covers the screen is kept, in memory or on disk.
        const PictureSize size = backgroundSizeFor(image.width, image.height, screenWidth, screenHeight);
        if (size.width != image.width || size.height != image.height)
            (void)resizePicture(image, size.width, size.height, image);
        if (encodeJpeg && !encodeBackgroundJpeg(image, result.jpeg)) result.jpeg.clear();
        result.image = std::move(image);
    } catch (...) {
        result = BackgroundPicture{};
    }
    return result;
}

}  // namespace ludexa
