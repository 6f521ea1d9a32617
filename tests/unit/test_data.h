// Fixture files kept under tests/data, read whole.
#pragma once

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

namespace ludexa::test {

inline std::string testDataPath(std::string_view relative) { return std::string(LUDEXA_TEST_DATA "/") += relative; }

inline std::vector<std::uint8_t> testDataBytes(std::string_view relative) {
    std::ifstream in(testDataPath(relative), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A Windows link of the shortcut corpus, by its name without ".lnk".
inline std::vector<std::uint8_t> lnkFixture(std::string_view name) {
    return testDataBytes("corpus/shortcut_lnk/" + std::string(name) + ".lnk");
}

}  // namespace ludexa::test
