// The face the program draws with when the user picks a font collection.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "appearance/fonts.h"
#include "platform/fonts.h"
#include "temp_dir.h"

using namespace ludexa;

namespace {

const std::string kNotoSans = "/usr/share/fonts/opentype/noto/NotoSansCJK-Regular.ttc";

// The family SFML reports and whether "i" is as wide as "M".
struct Opened {
    std::string family;
    bool monospaced = false;
};
Opened open(const FontFace& face) {
    sf::Font font;
    std::vector<std::uint8_t> storage;
    if (!loadFontFace(face, font, storage)) return {};
    return {font.getInfo().family, font.getGlyph('i', 20, false).advance == font.getGlyph('M', 20, false).advance};
}

}  // namespace

TEST(FontFaceChoiceOnDisplay, RealCollectionsOpenTheProportionalSimplifiedChineseFace) {
    if (!std::filesystem::exists(kNotoSans)) GTEST_SKIP() << "fonts-noto-cjk is not installed";
    // Noto Sans CJK holds ten faces: five regions, each proportional and
    // monospaced; "Noto Sans Mono CJK SC" also ends in "SC".
    EXPECT_EQ(faceForFile(kNotoSans).faceIndex, 2);
    const struct {
        const char* path;
        const char* family;
    } cases[] = {
        {kNotoSans.c_str(), "Noto Sans CJK SC"},
        {"/usr/share/fonts/opentype/noto/NotoSerifCJK-Regular.ttc", "Noto Serif CJK SC"},
        // Two faces, both named in Chinese; the second is its monospaced form.
        {"/usr/share/fonts/truetype/wqy/wqy-microhei.ttc", "WenQuanYi Micro Hei"},
        {"/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", "DejaVu Sans"},
    };
    for (const auto& c : cases) {
        if (!std::filesystem::exists(c.path)) continue;
        const Opened face = open(faceForFile(c.path));
        EXPECT_EQ(face.family, c.family) << c.path;
        EXPECT_FALSE(face.monospaced) << c.path;
    }
    for (const auto& face : uiFontChain())  // the interface's chain: never the Japanese face either
        EXPECT_TRUE(face.path.find("NotoSansCJK") == std::string::npos || face.faceIndex != 0) << face.path;

    // A path fontconfig has not indexed: the faces are read from the file.
    const test::ScopedTempDir dir;
    const auto link = dir / "思源黑体.ttc";
    std::filesystem::create_symlink(kNotoSans, link);
    EXPECT_EQ(faceForFile(link).faceIndex, 2);
    EXPECT_EQ(faceForFile("/nonexistent/font.ttc").faceIndex, 0);
}

TEST(FontFaceChoice, LanguageThenSpacingThenWeight) {
    const FaceTraits jp{0, 0, 80, false}, scMono{1, 3, 80, true}, sc{2, 3, 80, false}, scBold{3, 3, 200, false},
        scLight{4, 3, 50, false}, covers{5, 1, 80, false};
    EXPECT_EQ(chooseFace({}), -1);
    EXPECT_EQ(chooseFace({jp, scMono, sc}), 2);
    EXPECT_EQ(chooseFace({scBold, scMono}), 0) << "a proportional face of another weight beats a monospaced one";
    EXPECT_EQ(chooseFace({jp, scMono}), 1) << "Chinese shapes matter more than Latin spacing";
    EXPECT_EQ(chooseFace({scBold, scLight, sc}), 2);
    EXPECT_EQ(chooseFace({jp, covers}), 1);
    // Only bold faces (the bold collection): the first of them.
    EXPECT_EQ(chooseFace({{0, 0, 200, false}, {1, 3, 200, false}, {2, 3, 200, true}}), 1);

    const std::vector<std::string> none;
    EXPECT_EQ(simplifiedChineseRank({"Noto Sans Mono CJK SC"}, {"en"}, true), 3);
    EXPECT_EQ(simplifiedChineseRank({"Source Han Sans CN"}, {"en"}, true), 3);
    EXPECT_EQ(simplifiedChineseRank({"Noto Sans CJK JP"}, {"en"}, true), 0);
    EXPECT_EQ(simplifiedChineseRank({"Noto Serif CJK TC"}, {"en"}, true), 0);
    EXPECT_EQ(simplifiedChineseRank({"WenQuanYi Micro Hei", "文泉驛微米黑", "文泉驿微米黑"}, {"en", "zh-tw", "zh-cn"}, true), 2);
    EXPECT_EQ(simplifiedChineseRank({"Droid Sans Fallback"}, {"en"}, true), 1);
    EXPECT_EQ(simplifiedChineseRank({"DejaVu Sans"}, none, false), 0);
    EXPECT_EQ(simplifiedChineseRank({"SC"}, none, false), 0) << "a bare suffix is no family name";
}
