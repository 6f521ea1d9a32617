// What an icon blob's header declares, read before anything is decoded, so
// that a blob claiming a huge canvas is refused at the cost of a few bytes.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

namespace ludexa {

// The import never stores an icon larger than 256 x 256; a blob whose header
// declares a side beyond this is refused before it is decoded (a hostile
// 16000 x 16000 canvas would take gigabytes and many seconds to decode).
inline constexpr std::uint32_t kMaxIconSide = 1024;

struct DeclaredSize {
    std::uint32_t width = 0, height = 0;
};
// The size a PNG, JPEG, BMP or GIF header declares, without decoding; nullopt
// for anything else or a header cut short.
std::optional<DeclaredSize> declaredPictureSize(std::span<const unsigned char> bytes);
// Whether an icon blob may be decoded: a known format of at most kMaxIconSide
// on each side.
bool iconBlobAcceptable(std::span<const unsigned char> bytes);

}  // namespace ludexa
