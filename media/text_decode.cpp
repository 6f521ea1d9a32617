// Decoding description files into the UTF-8 the text area shows.
#include "media/text_decode.h"

#include <cstdint>

#include "platform/codepage.h"

namespace ludexa {
namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr char32_t kReplacement = 0xFFFD;

bool startsWith(std::string_view s, std::string_view head) { return s.substr(0, head.size()) == head; }

// Length of the valid UTF-8 sequence at `pos` (shortest form, no surrogates,
// at most U+10FFFF); 0 when there is none, -1 when the bytes end inside one
// that is valid so far.
int validSequence(std::string_view s, std::size_t pos) {
    const auto c = static_cast<unsigned char>(s[pos]);
    if (c < 0x80) return 1;
    int length = 0;
    unsigned char low = 0x80, high = 0xBF;
    if (c >= 0xC2 && c <= 0xDF) length = 2;
    else if (c == 0xE0) length = 3, low = 0xA0;
    else if (c == 0xED) length = 3, high = 0x9F;
    else if (c >= 0xE1 && c <= 0xEF) length = 3;
    else if (c == 0xF0) length = 4, low = 0x90;
    else if (c >= 0xF1 && c <= 0xF3) length = 4;
    else if (c == 0xF4) length = 4, high = 0x8F;
    else return 0;
    for (int k = 1; k < length; ++k) {
        if (pos + static_cast<std::size_t>(k) >= s.size()) return -1;
        const auto next = static_cast<unsigned char>(s[pos + static_cast<std::size_t>(k)]);
        if (next < (k == 1 ? low : 0x80) || next > (k == 1 ? high : 0xBF)) return 0;
    }
    return length;
}

// Valid UTF-8 up to the end, or up to a sequence cut off by the read bound;
// the length of that valid part.
bool validUtf8(std::string_view s, bool endsCut, std::size_t& validLength) {
    std::size_t pos = 0;
    while (pos < s.size()) {
        const int length = validSequence(s, pos);
        if (length == -1 && endsCut) break;
        if (length <= 0) return false;
        pos += static_cast<std::size_t>(length);
    }
    validLength = pos;
    return true;
}

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

std::size_t utf8Length(char32_t c) { return c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4; }

DecodedText decodeUtf16(std::string_view s, bool bigEndian, bool endsCut, std::size_t maxBytes) {
    DecodedText text;
    auto unit = [&](std::size_t at) -> char32_t {
        const auto a = static_cast<unsigned char>(s[at]), b = static_cast<unsigned char>(s[at + 1]);
        return bigEndian ? static_cast<char32_t>((a << 8) | b) : static_cast<char32_t>((b << 8) | a);
    };
    std::size_t pos = 2;  // after the mark
    while (pos + 1 < s.size()) {
        char32_t c = unit(pos);
        std::size_t used = 2;
        if (c >= 0xD800 && c <= 0xDBFF) {
            if (pos + 3 < s.size()) {
                const char32_t low = unit(pos + 2);
                if (low >= 0xDC00 && low <= 0xDFFF) {
                    c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                    used = 4;
                } else {
                    c = kReplacement;
                }
            } else if (endsCut) {
                break;  // the pair's second half lies past the read bound
            } else {
                c = kReplacement;
            }
        } else if (c >= 0xDC00 && c <= 0xDFFF) {
            c = kReplacement;
        }
        if (text.utf8.size() + utf8Length(c) > maxBytes) {
            text.cut = true;
            return text;
        }
        appendUtf8(text.utf8, c);
        pos += used;
    }
    // An odd last byte is half a character.
    if (pos < s.size() && !endsCut && text.utf8.size() + 3 <= maxBytes) appendUtf8(text.utf8, kReplacement);
    return text;
}

}  // namespace

TextEncoding detectTextEncoding(std::string_view bytes, bool endsCut) {
    if (startsWith(bytes, "\xFF\xFE")) return TextEncoding::Utf16LittleEndian;
    if (startsWith(bytes, "\xFE\xFF")) return TextEncoding::Utf16BigEndian;
    if (startsWith(bytes, kUtf8Mark)) return TextEncoding::Utf8;
    std::size_t valid = 0;
    return validUtf8(bytes, endsCut, valid) ? TextEncoding::Utf8 : TextEncoding::Gb18030;
}

DecodedText decodeTextFile(std::string_view bytes, bool endsCut, std::size_t maxBytes) {
    switch (detectTextEncoding(bytes, endsCut)) {
        case TextEncoding::Utf16LittleEndian:
            return decodeUtf16(bytes, false, endsCut, maxBytes);
        case TextEncoding::Utf16BigEndian:
            return decodeUtf16(bytes, true, endsCut, maxBytes);
        case TextEncoding::Gb18030: {
            DecodedText text;
            text.utf8 = gb18030ToUtf8(bytes, endsCut, maxBytes, text.cut);
            return text;
        }
        case TextEncoding::Utf8:
            break;
    }
    // With a mark the rest is taken as UTF-8 whatever it holds: the text box
    // shows invalid bytes as U+FFFD.
    if (startsWith(bytes, kUtf8Mark)) bytes.remove_prefix(kUtf8Mark.size());
    std::size_t valid = bytes.size();
    std::size_t ignored = 0;
    if (validUtf8(bytes, endsCut, ignored)) valid = ignored;
    DecodedText text;
    if (valid > maxBytes) {
        valid = maxBytes;
        // Back to a character's first byte.
        while (valid > 0 && (static_cast<unsigned char>(bytes[valid]) & 0xC0) == 0x80) --valid;
        text.cut = true;
    }
    text.utf8.assign(bytes.substr(0, valid));
    return text;
}

}  // namespace ludexa
