// Text conversions shared by every subsystem. Records, settings and queries are
// UTF-8; everything drawn is a wide string (UTF-32 on Linux, as sf::String holds).
#pragma once

#include <string>
#include <string_view>

namespace ludexa {

// Invalid or truncated sequences become U+FFFD; nothing is rejected.
std::wstring utf8ToWstring(std::string_view utf8);
// Code points that cannot be encoded (surrogates, values past U+10FFFF) become U+FFFD.
std::string wstringToUtf8(std::wstring_view wide);

// Number of characters of `utf8` up to and including the sequence that starts at
// `pos` (one UTF-8 sequence, or one byte when the sequence is malformed).
std::size_t utf8SequenceLength(std::string_view utf8, std::size_t pos);

}  // namespace ludexa
