// Fuzzes the check every still picture passes before it is decoded: a picture
// refused by its header is never decoded, and one that is decoded came out at
// the size its header claimed and within the bound.
#include <cstddef>
#include <cstdint>

#include "media/picture_decode.h"

namespace {

// Pictures up to the bound are valid but slow every run down without reaching new code.
constexpr std::uint64_t kMaxFuzzPixels = 1 << 20;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace ludexa;
    const auto header = readPictureHeader(data, size);
    const bool fits = header && checkPictureSize(*header) == PictureFit::Fits;
    if (fits && static_cast<std::uint64_t>(header->width) * static_cast<std::uint64_t>(header->height) > kMaxFuzzPixels)
        return 0;
    RgbaImage image;
    PictureHeader claimed;
    const PictureOutcome outcome = decodeStillPicture(data, size, image, &claimed);
    if (!header && outcome != PictureOutcome::Failed) __builtin_trap();
    if (header && !fits && outcome != PictureOutcome::TooLarge) __builtin_trap();
    if (outcome != PictureOutcome::Decoded) {
        if (!image.empty()) __builtin_trap();
        return 0;
    }
    if (!fits || checkPictureSize({image.width, image.height, 1}) != PictureFit::Fits) __builtin_trap();
    if (image.pixels.size() != static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height) * 4)
        __builtin_trap();
    return 0;
}
