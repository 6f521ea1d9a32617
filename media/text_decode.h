// Description files as Chinese game packs ship them: UTF-8 (with or without a
// byte-order mark), UTF-16 with its mark, or GB18030/GBK without any mark.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace ludexa {

enum class TextEncoding { Utf8, Utf16LittleEndian, Utf16BigEndian, Gb18030 };

// UTF-16 by its byte-order mark; UTF-8 with a mark, or without one when every
// byte forms valid UTF-8; anything else GB18030. `endsCut` says the bytes were
// cut off at a read bound, so a character split at the very end does not make
// UTF-8 invalid.
TextEncoding detectTextEncoding(std::string_view bytes, bool endsCut);

struct DecodedText {
    std::string utf8;
    bool cut = false;  // stopped at maxBytes
};

// The text as UTF-8, without its byte-order mark, at most `maxBytes` long and
// ending on a whole character. What cannot be decoded becomes U+FFFD (a lone
// UTF-16 surrogate, a byte that is no GB18030 character); a character split
// by `endsCut` is left out.
DecodedText decodeTextFile(std::string_view bytes, bool endsCut, std::size_t maxBytes);

}  // namespace ludexa
