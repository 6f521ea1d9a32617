// Pinyin initials of Chinese names, for searching a library by typing the
// first letter of each syllable (zgr finds 中国人).
#pragma once

#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace ludexa {

// Characters with more than one reading, each mapped to the initial of every
// reading in order ("cz" for 长: chang, zhang).
using PolyphoneMap = std::unordered_map<wchar_t, std::string>;
using PolyphonePair = std::pair<wchar_t, const char*>;

// The launcher's table of polyphonic characters.
const std::vector<PolyphonePair>& polyphonePairs();
// A map from `pairs`; a character listed twice keeps its first value.
PolyphoneMap buildPolyphoneInitials(const std::vector<PolyphonePair>& pairs);
PolyphoneMap buildPolyphoneInitials();

// The lower-case initial of one character read in its single (or most common)
// reading, ignoring the polyphone table: a letter for a Han character of
// U+4E00..U+9FA5 that has one, the lower-cased letter for A-Z and a-z, and 0
// for everything else (digits, spaces, punctuation, full-width forms, other
// scripts, Han characters without a known initial).
char getPinyinInitial(wchar_t ch);

// Every combination of initials of `name`, one letter per character that has
// any, in the order of the characters; for a polyphonic character each of its
// letters in turn. Characters without letters are skipped. At most 64 strings
// are kept: once a character would take the list past 64, the combinations
// after the first 64 are dropped. A name without letters gives one empty string.
std::vector<std::string> getPinyinInitials(const std::wstring& name, const PolyphoneMap& polyphones);

}  // namespace ludexa
