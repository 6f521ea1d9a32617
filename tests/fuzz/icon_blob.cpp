// Fuzzes the check every icon blob from data.db passes before it is decoded:
// a blob it accepts decodes, if at all, to no more than it declared and never
// beyond the icon bound, so no blob can make a worker decode a huge canvas.
#include <SFML/Graphics/Image.hpp>

#include <cstddef>
#include <cstdint>
#include <span>

#include "library/icon_header.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const unsigned char> bytes(data, size);
    if (!ludexa::iconBlobAcceptable(bytes)) return 0;
    sf::Image image;
    if (image.loadFromMemory(data, size)) {
        const auto shown = image.getSize();
        if (shown.x > ludexa::kMaxIconSide || shown.y > ludexa::kMaxIconSide) __builtin_trap();
    }
    return 0;
}
