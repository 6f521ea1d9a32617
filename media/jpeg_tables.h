// stb_image (our own copy and the one inside SFML alike) trusts the tables a
// JPEG declares; jpegTablesSound tells a file it may safely be given.
#pragma once

#include <cstddef>
#include <cstdint>

namespace ludexa {

// For a JPEG's bytes: false when a Huffman table holds more than 256 symbols
// or a scan decodes with a table never defined; true for every JPEG a camera
// or an editor writes. Other formats' bytes are not for it.
bool jpegTablesSound(const std::uint8_t* bytes, std::size_t size);

}  // namespace ludexa
