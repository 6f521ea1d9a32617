// Which face of a font collection the program draws with: the rules alone,
// without fontconfig, so they are tested on plain data.
#include <algorithm>
#include <cstdlib>
#include <tuple>

#include "platform/fonts.h"

namespace ludexa {
namespace {

bool endsWith(const std::string& text, const char* suffix) {
    const std::string tail = suffix;
    return text.size() > tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace

int simplifiedChineseRank(const std::vector<std::string>& families, const std::vector<std::string>& familyLanguages,
                          bool coversSimplifiedChinese) {
    // Pan-CJK fonts name each regional face after its region; Latin-named
    // families of the other regions cover Chinese too but draw it with their
    // own shapes (直, 骨 and 化 differ).
    for (const auto& family : families)
        if (endsWith(family, " SC") || endsWith(family, " CN") || endsWith(family, " GB")) return 3;
    for (const auto& family : families)
        for (const char* other : {" JP", " KR", " K", " TC", " HK", " TW", " J"})
            if (endsWith(family, other)) return 0;
    for (const auto& language : familyLanguages)
        if (language == "zh-cn" || language == "zh-sg") return 2;
    return coversSimplifiedChinese ? 1 : 0;
}

int chooseFace(const std::vector<FaceTraits>& faces) {
    constexpr int kRegular = 80;
    // Smaller is better: language first (the shapes of the characters), then
    // proportional Latin text, then the weight nearest regular, then the order
    // of the file.
    auto key = [](const FaceTraits& f) {
        return std::make_tuple(-f.chineseRank, f.monospaced ? 1 : 0, std::abs(f.weight - kRegular), f.index);
    };
    const auto best =
        std::min_element(faces.begin(), faces.end(), [&](const auto& a, const auto& b) { return key(a) < key(b); });
    return best == faces.end() ? -1 : static_cast<int>(best - faces.begin());
}

}  // namespace ludexa
