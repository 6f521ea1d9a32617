// Picture formats the general decoder does not read: WebP and AVIF. Only the
// first frame of an animated file is decoded, as 8-bit RGBA. Results are plain
// pixel buffers; the main thread uploads them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace ludexa {

// RGBA, 4 bytes per pixel, rows top to bottom without padding.
struct RgbaImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;

    bool empty() const { return width <= 0 || height <= 0; }
};

// Files larger than this are not read into memory to be decoded.
constexpr std::int64_t kMaxCodecFileBytes = 536870912;  // 512 MiB

// The most pixels a decode may produce (media/picture_decode.h explains the
// choice). The AV1 decoder behind AVIF is held to it too: the coded frame may
// be far larger than the size the container claims and was checked for.
constexpr std::uint32_t kMaxDecodedPixels = 64u << 20;

// Whether the bytes are a WebP or AVIF file, recognised by content.
bool isCodecPicture(const std::uint8_t* bytes, std::size_t size) noexcept;

// The size and bits per channel a WebP or AVIF file claims (an animated
// WebP's canvas), read without decoding any pixels. False for anything else.
[[nodiscard]] bool readCodecPictureSize(const std::uint8_t* bytes, std::size_t size, int& width, int& height,
                                        int& bitDepth) noexcept;

// Decodes a WebP or AVIF file, recognised by its content. The decoders
// allocate what the header claims: callers check that size first
// (media/picture_header.h). False, with `out` untouched, for anything else.
[[nodiscard]] bool decodeCodecPicture(const std::uint8_t* bytes, std::size_t size, RgbaImage& out) noexcept;

// Each format alone.
[[nodiscard]] bool decodeWebp(const std::uint8_t* bytes, std::size_t size, RgbaImage& out) noexcept;
[[nodiscard]] bool decodeAvif(const std::uint8_t* bytes, std::size_t size, RgbaImage& out) noexcept;

}  // namespace ludexa
