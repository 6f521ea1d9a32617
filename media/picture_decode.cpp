// Still pictures behind their header check. stb_image is compiled here,
// private to this file, for JPEG, PNG, BMP, GIF's first frame and the other
// formats SFML reads; WebP and AVIF go through their codecs.
#include "media/picture_decode.h"

#include <algorithm>
#include <climits>
#include <memory>
#include <vector>

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

// stb_image trusts a JPEG's tables. It builds a Huffman table from the 16
// code counts of a DHT segment without checking that they add up to at most
// 256 symbols, so a crafted file writes past the table (its header reader
// does so too); and it decodes a scan with whatever tables the scan names,
// defined or not, reading the uninitialised memory of an undefined one as
// offsets. Every segment stb_image could meet is checked here first, walking
// the markers as it does: a segment's tables while bytes of it are left, and
// past a scan the first marker in its data (0xFF 0x00 is a data byte).
bool jpegTablesSound(const std::uint8_t* bytes, std::size_t size) {
    auto at = [&](std::size_t i) -> std::size_t { return i < size ? bytes[i] : 0; };  // stb reads 0 past the end
    bool huffman[2][4] = {};  // [DC, AC][table] defined
    bool quantisation[4] = {};
    bool progressive = false;  // otherwise every scan is decoded with both kinds of tables
    int componentTable[256];  // a frame component's quantisation table, by its id
    std::fill(std::begin(componentTable), std::end(componentTable), -1);
    std::size_t pos = 0;  // fill bytes may come before the start-of-image marker
    while (pos + 1 < size) {
        if (bytes[pos] != 0xFF) {
            ++pos;
            continue;
        }
        const std::uint8_t marker = bytes[pos + 1];
        if (marker == 0xFF) {  // fill byte before a marker
            ++pos;
            continue;
        }
        if (marker == 0x00 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8)) {  // no length
            pos += 2;
            continue;
        }
        const std::size_t body = pos + 4;
        const std::size_t end = pos + 2 + ((at(pos + 2) << 8) | at(pos + 3));
        if (marker == 0xC4) {  // Huffman tables
            for (std::size_t table = body; table < end && table < size;) {
                std::size_t symbols = 0;
                for (std::size_t i = 1; i <= 16; ++i) symbols += at(table + i);
                if (symbols > 256) return false;
                const std::size_t kind = at(table) >> 4, index = at(table) & 15;
                if (kind <= 1 && index <= 3) huffman[kind][index] = true;
                table += 17 + symbols;
            }
        } else if (marker == 0xDB) {  // quantisation tables of 64 bytes or 64 words
            for (std::size_t table = body; table < end && table < size;) {
                if ((at(table) & 15) <= 3) quantisation[at(table) & 15] = true;
                table += 1 + ((at(table) >> 4) ? 128 : 64);
            }
        } else if (marker == 0xC0 || marker == 0xC1 || marker == 0xC2) {  // frame
            progressive = marker == 0xC2;
            for (std::size_t c = 0, n = at(body + 5); c < n; ++c)
                componentTable[at(body + 6 + 3 * c)] = static_cast<int>(at(body + 8 + 3 * c));
        } else if (marker == 0xDA) {  // scan: every table it decodes with defined
            const std::size_t n = at(body), after = body + 1 + 2 * n;
            const std::size_t first = at(after), last = at(after + 1), high = at(after + 2) >> 4;
            for (std::size_t c = 0; c < n; ++c) {
                const int table = componentTable[at(body + 1 + 2 * c)];
                const std::size_t selectors = at(body + 2 + 2 * c);
                if (table < 0 || table > 3 || !quantisation[table]) return false;
                const bool dc = !progressive || (first == 0 && high == 0), ac = !progressive || last > 0;
                if ((dc && !huffman[0][(selectors >> 4) & 3]) || (ac && !huffman[1][selectors & 3])) return false;
            }
        }
        pos = std::max(end, pos + 4);
    }
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
