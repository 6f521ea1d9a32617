// Sorting the library in place, keeping the selected game selected.
#include "library/sort.h"

#include <algorithm>
#include <numeric>
#include <string_view>

#include "app/GameLauncher.h"
#include "platform/text.h"

namespace ludexa {
namespace {

const std::string& nameSortKey(const GameInfo& game, const Collator& names) {
    auto& keys = game.nameKeys;
    keys.follow(game.name);
    if (!keys.hasSortKey || keys.sortKeyLocale != names.locale()) {
        // An empty key (the collator failed) is smaller than any real one: such
        // names gather at the start in ascending order and at the end in
        // descending order, and the order stays consistent for the sort.
        keys.sortKey = names.sortKey(utf8ToWstring(game.name));
        keys.sortKeyLocale = names.locale();
        keys.hasSortKey = !keys.sortKey.empty();  // a failed key is tried again next time
    }
    return keys.sortKey;
}

int threeWay(int a, int b) { return a < b ? -1 : (a > b ? 1 : 0); }

int compareBytes(const std::string& a, const std::string& b) {
    const int c = a.compare(b);  // char_traits<char>::compare orders bytes as unsigned
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

// Sorts `order` (positions into the library) by key(position), ascending or
// descending. Stable, so games with equal keys keep their relative order.
template <typename KeyOf>
void sortPositions(std::vector<std::size_t>& order, bool ascending, KeyOf keyOf) {
    std::stable_sort(order.begin(), order.end(), [&](std::size_t x, std::size_t y) {
        return ascending ? keyOf(x) < keyOf(y) : keyOf(y) < keyOf(x);
    });
}

}  // namespace

int compareGames(const GameInfo& a, const GameInfo& b, int sortMode, const Collator& names) {
    switch (sortMode) {
    case SortByTime: return compareBytes(a.created_at, b.created_at);
    case SortByName: return compareBytes(nameSortKey(a, names), nameSortKey(b, names));
    case SortByPlayTime: return a.play_seconds < b.play_seconds ? -1 : (a.play_seconds > b.play_seconds ? 1 : 0);
    case SortByLastPlayed: return compareBytes(a.last_played, b.last_played);
    default:
        // Compared, not subtracted: a difference of two ids can overflow.
        return threeWay(a.id, b.id);
    }
}

bool gameComesFirst(const GameInfo& a, const GameInfo& b, int sortMode, bool ascending, const Collator& names) {
    const int c = compareGames(a, b, sortMode, names);
    return ascending ? c < 0 : c > 0;
}

void sortGameList(std::vector<GameInfo>& games, int sortMode, bool ascending, const Collator& names) {
    // The keys are gathered once into flat arrays; the comparisons of the sort
    // then touch nothing else. They order exactly as compareGames does.
    const std::size_t n = games.size();
    std::vector<std::size_t> order(n);
    std::iota(order.begin(), order.end(), std::size_t{0});
    if (sortMode == SortByTime || sortMode == SortByName || sortMode == SortByLastPlayed) {
        std::vector<std::string_view> keys(n);  // compared bytewise, as unsigned bytes
        for (std::size_t i = 0; i < n; ++i)
            keys[i] = sortMode == SortByTime         ? std::string_view(games[i].created_at)
                      : sortMode == SortByLastPlayed ? std::string_view(games[i].last_played)
                                                     : nameSortKey(games[i], names);
        sortPositions(order, ascending, [&](std::size_t i) { return keys[i]; });
    } else if (sortMode == SortByPlayTime) {
        std::vector<std::int64_t> seconds(n);
        for (std::size_t i = 0; i < n; ++i) seconds[i] = games[i].play_seconds;
        sortPositions(order, ascending, [&](std::size_t i) { return seconds[i]; });
    } else {
        std::vector<std::int64_t> ids(n);
        for (std::size_t i = 0; i < n; ++i) ids[i] = games[i].id;
        sortPositions(order, ascending, [&](std::size_t i) { return ids[i]; });
    }

    std::vector<GameInfo> sorted;
    sorted.reserve(n);
    for (std::size_t from : order) sorted.push_back(std::move(games[from]));
    games.swap(sorted);
}

void GameLauncher::sortGames() {
    // The locale cannot change while the program runs: one collator serves
    // every sort on this thread.
    thread_local const Collator names = Collator::forUserLocale();
    applyViewChange(library.sort(settings.sortMode, settings.sortAscending, names));
}

}  // namespace ludexa
