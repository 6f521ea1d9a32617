// The order of the library: by time added, by name, by order of addition
// (id), by time played or by the last launch, either way round.
#pragma once

#include <vector>

#include "library/game_info.h"
#include "platform/collate.h"

namespace ludexa {

enum SortMode : int { SortByTime = 0, SortByName = 1, SortById = 2, SortByPlayTime = 3, SortByLastPlayed = 4 };
inline constexpr int kSortModeCount = 5;

// Negative, zero or positive as `a` orders before, with or after `b` under
// `sortMode`: the created_at texts bytewise (0), the names through `names`,
// case ignored (1), the total play time (3), the last_played texts bytewise,
// never played first (4), the ids (any other mode). A name whose collation key cannot
// be made orders before every other name, and with the other such names.
int compareGames(const GameInfo& a, const GameInfo& b, int sortMode, const Collator& names);

// Whether `a` comes before `b`: a negative comparison when ascending, a
// positive one when descending. Equal keys never put one first.
bool gameComesFirst(const GameInfo& a, const GameInfo& b, int sortMode, bool ascending, const Collator& names);

// Reorders `games` by gameComesFirst. Games with equal keys keep their
// relative order.
void sortGameList(std::vector<GameInfo>& games, int sortMode, bool ascending, const Collator& names);

}  // namespace ludexa
