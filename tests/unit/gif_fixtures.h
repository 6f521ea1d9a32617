// GIF files of the corpus, and how the tests read the frames decoded from them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "tests/unit/test_data.h"

namespace gif_fixtures {

// A GIF of tests/data/corpus/gif_stream, by its name without ".gif":
//   one_red_pixel       1 x 1, red, 10 hundredths
//   three_frames        4 x 4, red, green, blue, 0, 10 and 20 hundredths
//   cut_in_frame_three  three_frames cut inside frame 3's picture data
inline std::string gifFixturePath(const std::string& name) {
    return ludexa::test::testDataPath("corpus/gif_stream/" + name + ".gif");
}
inline std::vector<std::uint8_t> gifFixture(const std::string& name) {
    return ludexa::test::testDataBytes("corpus/gif_stream/" + name + ".gif");
}

inline void writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                static_cast<std::streamsize>(bytes.size()));
}

// The RGBA value of one canvas pixel, packed as 0xRRGGBBAA.
inline std::uint32_t pixel(const std::uint8_t* canvas, int width, int x, int y) {
    const std::uint8_t* p = canvas + (static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + x) * 4;
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | p[3];
}

constexpr std::uint32_t kRed = 0xFF0000FF;
constexpr std::uint32_t kGreen = 0x00FF00FF;
constexpr std::uint32_t kBlue = 0x0000FFFF;

}  // namespace gif_fixtures
