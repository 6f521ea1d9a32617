// UTF-8 conversions and the font collection face extraction.
#include <gtest/gtest.h>

#include "appearance/fonts.h"
#include "platform/text.h"
#include "test_data.h"

using namespace ludexa;

TEST(TextConversion, RoundTripsAndReplacesMalformedBytes) {
    EXPECT_EQ(utf8ToWstring("中国人 ABC 😀"), L"中国人 ABC 😀");
    EXPECT_EQ(wstringToUtf8(L"中国人 ABC 😀"), "中国人 ABC 😀");
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
    // Two faces, each with one 4-byte table: abcd at 76 and wxyz at 80.
    const auto ttc = test::testDataBytes("fonts/two_faces.ttc");
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
