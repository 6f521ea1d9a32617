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
bool nameMatches(const GameInfo& game, const std::wstring& wideQuery, const std::string& letterQuery,
                 const PolyphoneMap& polyphones) {
    auto& keys = game.nameKeys;
    keys.follow(game.name);
    if (!keys.hasLowered) {
        keys.lowered = lowerCase(utf8ToWstring(game.name));
        keys.hasLowered = true;
    }
    if (keys.lowered.find(wideQuery) != std::wstring::npos) return true;
    if (letterQuery.empty()) return false;
    if (keys.initialsTable != &polyphones) {
        // The name in its stored case: upper-case Latin letters give their
        // lower-case initial anyway. The strings are kept joined, each ended
        // by a space; the letter query holds only a-z, so a match found in the
        // joined text lies within one string.
        keys.initials.clear();
        for (const auto& s : getPinyinInitials(utf8ToWstring(game.name), polyphones)) keys.initials.append(s).push_back(' ');
        keys.initialsTable = &polyphones;
    }
    return keys.initials.find(letterQuery) != std::string::npos;
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
    std::vector<std::size_t> result;
    const std::wstring wideQuery = lowerCase(utf8ToWstring(query));
    std::string letterQuery;
    for (wchar_t ch : wideQuery) {
        if (ch >= L'a' && ch <= L'z') letterQuery.push_back(static_cast<char>(ch));
        else if (ch >= L'A' && ch <= L'Z') letterQuery.push_back(static_cast<char>(ch - L'A' + 'a'));
    }

    for (std::size_t i = 0; i < games.size(); ++i) {
        const GameInfo& game = games[i];
        if (!passesCategories(game, categoryMode, selectedCategories)) continue;
        if (query.empty() || nameMatches(game, wideQuery, letterQuery, polyphones)) result.push_back(i);
    }
    return result;
}

void GameLauncher::filterGames() {
    filteredIndices = filterGameIndices(games, categoryMode, selectedCategories, searchQuery, polyphoneInitials);
    gridScrollOffset = 0;
    // Without search text the selection and the text area stay: the callers
    // that change the category choice pick the selection themselves.
    if (searchQuery.empty()) return;

    if (filteredIndices.empty()) {
        selectedIndex = -1;
        textBox.setText(L"没有匹配的游戏", false);
        clearPreview();
        mapFiles.clear();
        currentMapIndex = 0;
        mapVisible = false;
        descriptionText = "暂无介绍";
        return;
    }
    selectedIndex = static_cast<int>(filteredIndices.front());
    updateTextContent();
}

void GameLauncher::handleSearchChange() {
    searchQuery = searchBox.getTextUTF8();
    filterGames();
}

}  // namespace ludexa
