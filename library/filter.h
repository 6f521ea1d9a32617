// Which games the icon grid shows: those that pass the category choice and
// match the search text, by name or by pinyin initials.
#pragma once

#include <cstddef>
#include <set>
#include <string>
#include <vector>

#include "library/game_info.h"
#include "library/pinyin.h"

namespace ludexa {

// The indices, ascending, of the games that pass. `categoryMode` 1 lists
// favourites only; any other mode lists the games that hold every category of
// `selectedCategories` as a whole entry (all games when it is empty). A
// non-empty `query` must then match: the lower-cased name contains the
// lower-cased query, or, when the query holds letters a-z, one of the name's
// pinyin initials strings contains those letters (digits, spaces, punctuation
// and Han characters of the query take no part in that second test).
std::vector<std::size_t> filterGameIndices(const std::vector<GameInfo>& games, int categoryMode,
                                           const std::set<std::string>& selectedCategories, const std::string& query,
                                           const PolyphoneMap& polyphones);

}  // namespace ludexa
