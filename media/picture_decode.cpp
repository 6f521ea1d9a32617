// Still pictures behind their header check. stb_image is compiled here,
// private to this file, for JPEG, PNG, BMP, GIF's first frame and the other
// formats SFML reads; WebP and AVIF go through their codecs.
#include "media/picture_decode.h"

#include <algorithm>
#include <climits>
#include <memory>
#include <vector>

#include "media/jpeg_tables.h"
#include "platform/files.h"

#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
// Every header up to the formats' own limits must be readable, so that a
// lying one is recognised as too large rather than as no picture; what is
// decoded has passed checkPictureSize first.
#define STBI_MAX_DIMENSIONS (1 << 24)
#include <stb_image.h>

namespace ludexa {
namespace {

struct StbFree {
    void operator()(stbi_uc* pixels) const noexcept { stbi_image_free(pixels); }
};

bool decodeWithStb(const std::uint8_t* bytes, int length, RgbaImage& out) {
    int width = 0, height = 0, channels = 0;
    std::unique_ptr<stbi_uc, StbFree> pixels(stbi_load_from_memory(bytes, length, &width, &height, &channels, 4));
    if (!pixels || width <= 0 || height <= 0) return false;
    RgbaImage image;
    image.width = width;
    image.height = height;
    image.pixels.assign(pixels.get(), pixels.get() + static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4);
    out = std::move(image);
    return true;
}

}  // namespace

PictureFit checkPictureSize(const PictureHeader& header) {
    if (header.width <= 0 || header.height <= 0 || header.bytesPerChannel <= 0) return PictureFit::TooLarge;
    const std::uint64_t pixels = static_cast<std::uint64_t>(header.width) * static_cast<std::uint64_t>(header.height);
    if (pixels > kMaxPicturePixels) return PictureFit::TooLarge;
    if (pixels * 4 * static_cast<std::uint64_t>(header.bytesPerChannel) > kMaxPictureDecodedBytes)
        return PictureFit::TooLarge;
    return PictureFit::Fits;
}

std::optional<PictureHeader> readPictureHeader(const std::uint8_t* bytes, std::size_t size) noexcept {
    if (!bytes || size == 0) return std::nullopt;
    int width = 0, height = 0;
    if (isCodecPicture(bytes, size)) {
        int depth = 8;
        if (!readCodecPictureSize(bytes, size, width, height, depth) || width <= 0 || height <= 0)
            return std::nullopt;
        return PictureHeader{width, height, depth > 8 ? 2 : 1};
    }
    if (size > static_cast<std::size_t>(INT_MAX)) return std::nullopt;
    if (bytes[0] == 0xFF && !jpegTablesSound(bytes, size)) return std::nullopt;
    const int length = static_cast<int>(size);
    int channels = 0;
    if (!stbi_info_from_memory(bytes, length, &width, &height, &channels)) return std::nullopt;
    // A BMP stored top down gives its height as a negative number, which
    // stb_image's header reader passes on as it is (its decoder does not).
    if (size >= 2 && bytes[0] == 'B' && bytes[1] == 'M' && height < 0 && height != INT_MIN) height = -height;
    if (width <= 0 || height <= 0) return std::nullopt;
    return PictureHeader{width, height, stbi_is_16_bit_from_memory(bytes, length) ? 2 : 1};
}

PictureOutcome decodeStillPicture(const std::uint8_t* bytes, std::size_t size, RgbaImage& out,
                                  PictureHeader* claimed) noexcept {
    try {
        const auto header = readPictureHeader(bytes, size);
        if (!header) return PictureOutcome::Failed;
        if (claimed) *claimed = *header;
        if (checkPictureSize(*header) != PictureFit::Fits) return PictureOutcome::TooLarge;
        RgbaImage image;
        const bool decoded = isCodecPicture(bytes, size)
                                 ? decodeCodecPicture(bytes, size, image)
                                 : decodeWithStb(bytes, static_cast<int>(size), image);
        // A header may tell one size and the data another (an animated WebP's
        // frames, a damaged file): what was decoded is checked as well.
        if (!decoded || image.empty() ||
            checkPictureSize({image.width, image.height, 1}) != PictureFit::Fits ||
            image.pixels.size() != static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height) * 4)
            return PictureOutcome::Failed;
        out = std::move(image);
        return PictureOutcome::Decoded;
    } catch (...) {
        return PictureOutcome::Failed;
    }
}

PictureOutcome decodeStillPictureFile(const std::string& path, RgbaImage& out, PictureHeader* claimed) noexcept {
    try {
        std::vector<std::uint8_t> bytes;
        if (!readWholeRegularFile(path, static_cast<std::size_t>(kMaxCodecFileBytes), bytes) || bytes.empty())
            return PictureOutcome::Failed;
        return decodeStillPicture(bytes.data(), bytes.size(), out, claimed);
    } catch (...) {
        return PictureOutcome::Failed;
    }
}

}  // namespace ludexa
