// What searching and sorting derive from a game's name: the lower-cased name,
// its pinyin initials and its collation key. Working them out for every game on
// every keystroke or sort would be far too slow for a large library, so each
// GameInfo keeps them, together with the name they were derived from; any use
// first checks that name (NameKeys::follow) and starts over when it changed.
#pragma once

#include <string>

#include "library/pinyin.h"

namespace ludexa {

struct NameKeys {
    std::string source;  // the name everything below belongs to

    bool hasLowered = false;
    std::wstring lowered;  // lower-cased per character

    const PolyphoneMap* initialsTable = nullptr;  // the table `initials` was made with; null: not made yet
    std::string initials;  // every initials string of the name, each followed by a space

    bool hasSortKey = false;
    std::string sortKeyLocale;  // the collator locale `sortKey` was made with
    std::string sortKey;

    // Forgets everything derived from an older name.
    void follow(const std::string& name) {
        if (name == source) return;
        *this = NameKeys{};
        source = name;
    }
};

}  // namespace ludexa
