// Still pictures (the picture area, the background): the size a file claims,
// read from its header before anything is decoded, the bound a preview or a
// background never needs to exceed, and the decoding behind that check.
// Decoders allocate what the header claims: a 54-byte BMP can ask for
// gigabytes, so no picture reaches a decoder before it passed the check.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "platform/image_codecs.h"

namespace ludexa {

struct PictureHeader {
    int width = 0;
    int height = 0;
    int bytesPerChannel = 1;  // 2 for 16-bit PNG and high-bit-depth AVIF
};

// 8192 x 8192, the side a GIF canvas is bounded to: an 8K screenshot
// (33 Mpx) and a full-size photo of today's cameras (61 Mpx) fit; anything
// larger is scaled down to the column or the screen anyway.
inline constexpr std::uint64_t kMaxPicturePixels = kMaxDecodedPixels;  // 64 Mi
// The same picture in 8-bit RGBA. A decoder working at 16 bits per channel
// needs twice as much for the same pixels, so such a picture may have half.
inline constexpr std::uint64_t kMaxPictureDecodedBytes = 256ull << 20;

enum class PictureFit { Fits, TooLarge };

// Whether a picture of that size may be decoded: each side at least 1 pixel,
// at most kMaxPicturePixels, and width x height x 4 x bytesPerChannel at most
// kMaxPictureDecodedBytes.
PictureFit checkPictureSize(const PictureHeader& header);

// The header of JPEG, PNG, BMP, GIF (and the other formats the general decoder
// reads), WebP and AVIF, recognised by content. None when the bytes are no
// picture this program reads, or their header is cut off or damaged.
std::optional<PictureHeader> readPictureHeader(const std::uint8_t* bytes, std::size_t size) noexcept;

enum class PictureOutcome { Decoded, TooLarge, Failed };

// The picture (the first frame of a GIF or an animated WebP) as 8-bit RGBA,
// decoded only when its header passes checkPictureSize. `claimed` receives
// the header's size whenever one was read (a refused picture's caption names
// it). `out` is untouched unless the outcome is Decoded.
PictureOutcome decodeStillPicture(const std::uint8_t* bytes, std::size_t size, RgbaImage& out,
                                  PictureHeader* claimed = nullptr) noexcept;

// The same from a file; only regular files are read (a FIFO would block for
// good), and none larger than kMaxCodecFileBytes.
PictureOutcome decodeStillPictureFile(const std::string& path, RgbaImage& out,
                                      PictureHeader* claimed = nullptr) noexcept;

}  // namespace ludexa
