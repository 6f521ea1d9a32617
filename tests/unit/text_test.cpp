// UTF-8 conversions and the font collection face extraction.
#include <gtest/gtest.h>

#include "appearance/fonts.h"
#include "platform/text.h"

using namespace ludexa;

TEST(TextConversion, RoundTripsChineseAndAstralCharacters) {
    const std::string utf8 = "中国人 ABC 😀";
    const auto wide = utf8ToWstring(utf8);
    EXPECT_EQ(wide, L"中国人 ABC 😀");
    EXPECT_EQ(wstringToUtf8(wide), utf8);
}

TEST(TextConversion, MalformedBytesBecomeReplacementCharacters) {
    EXPECT_EQ(utf8ToWstring("a\xFF" "b"), L"a\uFFFDb");
    EXPECT_EQ(utf8ToWstring("\xE4\xB8"), L"\uFFFD");          // truncated 中
    EXPECT_EQ(utf8ToWstring("\xC0\xAF"), L"\uFFFD");          // overlong "/"
    EXPECT_EQ(utf8ToWstring("\xED\xA0\x80"), L"\uFFFD");      // encoded surrogate
    EXPECT_EQ(utf8ToWstring("\xEF\xBB\xBFx"), L"\uFEFFx");    // a BOM is kept
    EXPECT_EQ(wstringToUtf8(std::wstring(1, static_cast<wchar_t>(0x110000))), "\xEF\xBF\xBD");
    EXPECT_EQ(utf8SequenceLength("中a", 0), 3u);
    EXPECT_EQ(utf8SequenceLength("中a", 3), 1u);
}

TEST(FontCollection, ExtractsOneFaceAndRejectsDamagedData) {
    // A collection of two faces, each with one 4-byte table.
    std::vector<std::uint8_t> ttc = {
        't', 't', 'c', 'f', 0, 1, 0, 0, 0, 0, 0, 2,  // header, 2 fonts
        0, 0, 0, 20, 0, 0, 0, 48,                   // offsets of the two directories
        // face 0 directory at 20: version, 1 table, search fields, one record
        0, 1, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 'a', 'b', 'c', 'd', 0, 0, 0, 0, 0, 0, 0, 76, 0, 0, 0, 4,
        // face 1 directory at 48
        0, 1, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 'w', 'x', 'y', 'z', 0, 0, 0, 0, 0, 0, 0, 80, 0, 0, 0, 4,
        1, 2, 3, 4,  // table of face 0 at 76
        5, 6, 7, 8,  // table of face 1 at 80
    };
    const auto face1 = extractCollectionFace(ttc, 1);
    ASSERT_EQ(face1.size(), 12u + 16u + 4u);
    EXPECT_EQ(face1[12], 'w');
    EXPECT_EQ(face1[12 + 11], 28);  // table offset rewritten to just after the directory
    EXPECT_EQ(face1[28], 5);

    EXPECT_TRUE(extractCollectionFace(ttc, 2).empty());
    EXPECT_TRUE(extractCollectionFace(ttc, -1).empty());
    auto truncated = ttc;
    truncated.resize(60);
    EXPECT_TRUE(extractCollectionFace(truncated, 1).empty());
    auto badOffset = ttc;
    badOffset[48 + 12 + 11] = 200;  // table past the end of the file
    EXPECT_TRUE(extractCollectionFace(badOffset, 1).empty());
}

TEST(FontChainOnDisplay, ChineseFaceFirstAndNeverTheJapaneseOne) {
    const auto chain = uiFontChain();
    ASSERT_FALSE(chain.empty());
    for (const auto& face : chain) {
        if (face.path.find("NotoSansCJK") != std::string::npos) {
            EXPECT_NE(face.faceIndex, 0) << face.path;
        }
    }
    sf::Font font;
    std::vector<std::uint8_t> storage;
    ASSERT_TRUE(loadFirstFont(chain, font, storage));
    EXPECT_GT(font.getGlyph(U'直', 20, false).advance, 0.0f);
}
