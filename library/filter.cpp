// Filtering and search: the visible list, and what the text area shows after
// a search changed it.
#include "library/filter.h"

#include "app/GameLauncher.h"
#include "platform/collate.h"
#include "platform/text.h"

namespace ludexa {
namespace {

// Whether the game's name matches the search: as text, or by the letters of
// the query against its pinyin initials. The keys are made on first need and
// kept in the record until its name changes.
//
// The text test runs on UTF-8. Both sides are re-encoded from code points, and
// in valid UTF-8 a character sequence can only be found at a character
// boundary, so this finds exactly what a search over characters finds.
bool nameMatches(const GameInfo& game, std::string_view loweredQuery, std::string_view letterQuery,
                 const PolyphoneMap& polyphones) {
    auto& keys = game.nameKeys;
    keys.follow(game.name);
    if (!keys.hasLowered) {
        keys.text.resize(keys.sourceLength);  // drops initials made before
        keys.initialsTable = nullptr;
        keys.text += wstringToUtf8(lowerCase(utf8ToWstring(game.name)));
        keys.loweredLength = keys.text.size() - keys.sourceLength;
        keys.hasLowered = true;
    }
    if (keys.lowered().find(loweredQuery) != std::string_view::npos) return true;
    if (letterQuery.empty()) return false;
    if (keys.initialsTable != &polyphones) {
        // The name in its stored case: upper-case Latin letters give their
        // lower-case initial anyway. Each string is ended by a space; the
        // letter query holds only a-z, so a match lies within one string.
        keys.text.resize(keys.sourceLength + keys.loweredLength);
        for (const auto& s : getPinyinInitials(utf8ToWstring(game.name), polyphones)) keys.text.append(s).push_back(' ');
        keys.initialsTable = &polyphones;
    }
    return keys.initials().find(letterQuery) != std::string_view::npos;
}

bool passesCategories(const GameInfo& game, int categoryMode, const std::set<std::string>& selected) {
    if (categoryMode == 1) return game.is_favorite;
    for (const auto& category : selected)
        if (!hasCategory(game.category, category)) return false;
    return true;
}

}  // namespace

std::vector<std::size_t> filterGameIndices(const std::vector<GameInfo>& games, int categoryMode,
                                           const std::set<std::string>& selectedCategories, const std::string& query,
                                           const PolyphoneMap& polyphones) {
    constexpr std::size_t kLookahead = 8;
    std::vector<std::size_t> result;
    const std::wstring wideQuery = lowerCase(utf8ToWstring(query));
    const std::string loweredQuery = wstringToUtf8(wideQuery);
    std::string letterQuery;  // the query's Latin letters (already lower case), nothing else
    for (wchar_t ch : wideQuery)
        if (ch >= L'a' && ch <= L'z') letterQuery.push_back(static_cast<char>(ch));

    for (std::size_t i = 0; i < games.size(); ++i) {
        const GameInfo& game = games[i];
        // A search reads two small heap blocks per game (the name and its
        // keys), scattered over memory; asking for those of a game a few
        // places ahead lets the loads overlap instead of waiting one by one.
        if (!query.empty() && i + 2 * kLookahead < games.size()) {
            const GameInfo& far = games[i + 2 * kLookahead];  // its string headers first,
            __builtin_prefetch(&far.name);
            __builtin_prefetch(&far.nameKeys);
            const GameInfo& ahead = games[i + kLookahead];  // then the blocks they point to
            __builtin_prefetch(ahead.name.data());
            __builtin_prefetch(ahead.nameKeys.text.data());
        }
        if (!passesCategories(game, categoryMode, selectedCategories)) continue;
        if (query.empty() || nameMatches(game, loweredQuery, letterQuery, polyphones)) result.push_back(i);
    }
    return result;
}

void GameLauncher::applyViewChange(const ViewChange& change) {
    if (change.shown) gridInput.scrollOffset = 0;
    if (change.focus) focusIndex = *change.focus;
    if (change.noMatch) {
        textBox.setText(L"没有匹配的游戏", false);
        clearPreview();
        mapFiles.clear();
        currentMapIndex = 0;
        mapVisible = false;
        descriptionText = "暂无介绍";
    } else if (change.selection) {
        updateTextContent();
    }
    if (change.any()) requestFrame(FrameReason::Input);
}

void GameLauncher::filterGames() { applyViewChange(library.filter()); }

void GameLauncher::handleSearchChange() { applyViewChange(library.setSearchQuery(searchBox.getTextUTF8())); }

}  // namespace ludexa
