// What searching and sorting derive from a game's name: the lower-cased name,
// its pinyin initials and its collation key. Working them out for every game on
// every keystroke or sort would be far too slow for a large library, so each
// GameInfo keeps them, together with the name they were derived from; any use
// first checks that name (NameKeys::follow) and starts over when it changed.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "library/pinyin.h"

namespace ludexa {

struct NameKeys {
    // The name the keys belong to, then the lower-cased name (UTF-8), then the
    // initials strings, each ended by a space. One block, so that a search
    // reads one piece of memory per game.
    std::string text;
    std::size_t sourceLength = 0;
    std::size_t loweredLength = 0;
    bool hasLowered = false;
    const PolyphoneMap* initialsTable = nullptr;  // the table the initials were made with; null: not made yet

    std::string sortKeyLocale;  // the collator locale `sortKey` was made with
    std::string sortKey;
    bool hasSortKey = false;

    std::string_view source() const { return std::string_view(text).substr(0, sourceLength); }
    std::string_view lowered() const { return std::string_view(text).substr(sourceLength, loweredLength); }
    std::string_view initials() const { return std::string_view(text).substr(sourceLength + loweredLength); }

    // Forgets everything derived from an older name.
    void follow(const std::string& name) {
        if (source() == name) return;
        *this = NameKeys{};
        text = name;
        sourceLength = name.size();
    }
};

}  // namespace ludexa
