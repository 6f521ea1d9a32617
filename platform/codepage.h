// One character in the Simplified Chinese code page (GBK, a superset of
// GB2312). Pinyin initials are read off a character's GB2312 code, whose
// level-1 block is ordered by pronunciation.
#pragma once

#include <string>

namespace ludexa {

// The GBK bytes of `ch`; empty when GBK has no code for it or the conversion
// is unavailable. Safe to call from any thread.
std::string toGbk(wchar_t ch);

}  // namespace ludexa
