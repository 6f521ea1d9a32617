// Description files in the encodings Chinese game packs use.
#include <gtest/gtest.h>

#include "media/text_decode.h"

using namespace ludexa;
using namespace std::string_literals;

TEST(TextDecode, EachEncodingComesOutAsUtf8) {
    using enum TextEncoding;
    const std::string replacement = "\xEF\xBF\xBD";
    const struct {
        const char* what;
        std::string bytes;
        bool endsCut;
        TextEncoding encoding;
        std::string text;
    } cases[] = {
        {"UTF-8", "游戏介绍 v1.0\r\n", false, Utf8, "游戏介绍 v1.0\r\n"},
        {"UTF-8 with its mark", "\xEF\xBB\xBF中文", false, Utf8, "中文"},
        {"UTF-8 with a mark keeps even invalid bytes", "\xEF\xBB\xBF\xD6\xD0", false, Utf8, "\xD6\xD0"},
        {"UTF-8 cut inside 文 by the read bound", "中\xE6\x96", true, Utf8, "中"},
        {"UTF-16 LE", "\xFF\xFE\x2D\x4E\x87\x65\r\0\n\0"s, false, Utf16LittleEndian, "中文\r\n"},
        {"UTF-16 BE", "\xFE\xFF\x4E\x2D\x65\x87\0A"s, false, Utf16BigEndian, "中文A"},
        {"UTF-16 LE surrogate pair", "\xFF\xFE\x3D\xD8\x00\xDE"s, false, Utf16LittleEndian, "\xF0\x9F\x98\x80"},
        {"UTF-16 LE lone surrogate", "\xFF\xFE\x3D\xD8" "A\0"s, false, Utf16LittleEndian, replacement + "A"},
        {"UTF-16 LE odd last byte", "\xFF\xFE" "A\0B"s, false, Utf16LittleEndian, "A" + replacement},
        {"UTF-16 LE cut by the read bound", "\xFF\xFE" "A\0B"s, true, Utf16LittleEndian, "A"},
        {"GBK", "\xD3\xCE\xCF\xB7\xBD\xE9\xC9\xDC", false, Gb18030, "游戏介绍"},
        {"GB18030 four-byte Å", "\x81\x30\x87\x33ngstr\x81\x30\x8B\x32m", false, Gb18030, "Ångström"},
        {"GBK cut inside 文 by the read bound", "\xD6\xD0\xCE", true, Gb18030, "中"},
        {"GBK ending inside a character", "\xD6\xD0\xCE", false, Gb18030, "中" + replacement},
        {"junk among GBK", "abc\xFF\xD6\xD0\x80", false, Gb18030, "abc" + replacement + "中" + replacement},
        {"UTF-8 overlong slash", "\xC0\xAF", false, Gb18030, "蜡"},
        {"UTF-8 encoded surrogate", "\xED\xA0\x80", false, Gb18030, "\xE9\xA0\x8E" + replacement},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(detectTextEncoding(c.bytes, c.endsCut), c.encoding) << c.what;
        const auto decoded = decodeTextFile(c.bytes, c.endsCut, 1 << 20);
        EXPECT_EQ(decoded.utf8, c.text) << c.what;
        EXPECT_FALSE(decoded.cut) << c.what;
    }
}

TEST(TextDecode, DecodedTextIsBoundedAtAWholeCharacter) {
    // Ten 中 in each encoding, bound to 10 bytes of UTF-8: three whole characters.
    std::string utf8, utf16 = "\xFF\xFE", gbk;
    for (int i = 0; i < 10; ++i) utf8 += "中", utf16 += "\x2D\x4E", gbk += "\xD6\xD0";
    for (const auto& bytes : {utf8, utf16, gbk}) {
        const auto decoded = decodeTextFile(bytes, false, 10);
        EXPECT_EQ(decoded.utf8, "中中中");
        EXPECT_TRUE(decoded.cut);
    }
}
