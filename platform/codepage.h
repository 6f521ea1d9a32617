// One character in the Simplified Chinese code page (GBK, a superset of
// GB2312). Pinyin initials are read off a character's GB2312 code, whose
// level-1 block is ordered by pronunciation.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace ludexa {

// The GBK bytes of `ch`; empty when GBK has no code for it or the conversion
// is unavailable. Safe to call from any thread.
std::string toGbk(wchar_t ch);

// GB18030 (the superset of GBK and GB2312 that Chinese text files are written
// in) as UTF-8. A byte that starts no GB18030 character becomes U+FFFD and
// reading goes on after it; an incomplete character at the end becomes U+FFFD
// too, unless `endsCut` says the bytes were cut off there (it is then left
// out). At most `maxBytes` of UTF-8 come out, ending on a whole character;
// `cut` tells whether more would have followed. Safe to call from any thread.
std::string gb18030ToUtf8(std::string_view bytes, bool endsCut, std::size_t maxBytes, bool& cut);

}  // namespace ludexa
