// Picture headers read without decoding: PNG, JPEG, GIF and BMP.
#include "library/icon_header.h"

#include <algorithm>
#include <iterator>

#include "media/jpeg_tables.h"

namespace ludexa {

namespace {

std::uint32_t be32(std::span<const unsigned char> b, std::size_t at) {
    return (std::uint32_t{b[at]} << 24) | (std::uint32_t{b[at + 1]} << 16) | (std::uint32_t{b[at + 2]} << 8) | b[at + 3];
}
std::uint32_t be16(std::span<const unsigned char> b, std::size_t at) { return (std::uint32_t{b[at]} << 8) | b[at + 1]; }
std::uint32_t le16(std::span<const unsigned char> b, std::size_t at) { return b[at] | (std::uint32_t{b[at + 1]} << 8); }
std::uint32_t le32(std::span<const unsigned char> b, std::size_t at) { return le16(b, at) | (le16(b, at + 2) << 16); }

std::optional<DeclaredSize> jpegSize(std::span<const unsigned char> b) {
    // Segments after the FF D8 start: FF, marker, then a big-endian length
    // that counts itself. The frame header (SOF0..SOF15 but DHT, JPG and DAC)
    // holds precision, height, width.
    std::size_t at = 2;
    while (at + 4 <= b.size()) {
        if (b[at] != 0xFF) return std::nullopt;
        const unsigned char marker = b[at + 1];
        if (marker == 0xFF) {  // fill byte
            ++at;
            continue;
        }
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {  // no length
            at += 2;
            continue;
        }
        const std::uint32_t length = be16(b, at + 2);
        if (length < 2) return std::nullopt;
        const bool frame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame) {
            if (at + 9 > b.size()) return std::nullopt;
            return DeclaredSize{be16(b, at + 7), be16(b, at + 5)};
        }
        if (marker == 0xD9 || marker == 0xDA) return std::nullopt;  // no frame before the scan
        at += 2 + length;
    }
    return std::nullopt;
}

}  // namespace

std::optional<DeclaredSize> declaredPictureSize(std::span<const unsigned char> b) {
    static constexpr unsigned char kPng[] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    if (b.size() >= 24 && std::equal(std::begin(kPng), std::end(kPng), b.begin())) {
        if (!std::equal(b.begin() + 12, b.begin() + 16, "IHDR")) return std::nullopt;
        return DeclaredSize{be32(b, 16), be32(b, 20)};
    }
    if (b.size() >= 4 && b[0] == 0xFF && b[1] == 0xD8 && b[2] == 0xFF) return jpegSize(b);
    if (b.size() >= 10 && std::equal(b.begin(), b.begin() + 4, "GIF8")) return DeclaredSize{le16(b, 6), le16(b, 8)};
    if (b.size() >= 26 && b[0] == 'B' && b[1] == 'M') {
        if (le32(b, 14) == 12) return DeclaredSize{le16(b, 18), le16(b, 20)};  // the old OS/2 header
        const auto height = static_cast<std::int32_t>(le32(b, 22));          // negative: rows top-down
        return DeclaredSize{le32(b, 18), static_cast<std::uint32_t>(height < 0 ? -static_cast<std::int64_t>(height) : height)};
    }
    return std::nullopt;
}

bool iconBlobAcceptable(std::span<const unsigned char> bytes) {
    const auto size = declaredPictureSize(bytes);
    if (!size || size->width < 1 || size->height < 1 || size->width > kMaxIconSide || size->height > kMaxIconSide)
        return false;
    // SFML's decoder is the stb_image that a JPEG's tables can overrun.
    return bytes[0] != 0xFF || jpegTablesSound(bytes.data(), bytes.size());
}

}  // namespace ludexa
