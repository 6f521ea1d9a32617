// The library as the window shows it, with no window in it: the games in their
// sorted order, the games the grid lists (the category choice and the search
// applied), the selected game and the category state. Each operation reports
// what it changed; GameLauncher::applyViewChange turns that into the text
// area, the preview and the frame, in one place.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "library/game_info.h"
#include "library/pinyin.h"

namespace ludexa {

class Collator;

// The category choice a click on a tag or a quick switch leads to.
struct CategoryState {
    int categoryMode = 0;  // 0 all or by category, 1 favourites, -1 desktop view
    std::set<std::string> selectedCategories;
    bool desktopMode = false;
    bool multiSelectMode = false;
};

struct ViewChange {
    bool shown = false;      // the listed games were worked out again: the grid starts at its top
    bool selection = false;  // the text area and the preview show the selected game (or none) again
    bool noMatch = false;    // a search matches nothing: the text area says so, the preview empties
    std::optional<int> focus;  // where the grid's focus goes, a position in the listed games

    bool any() const { return shown || selection || noMatch || focus.has_value(); }
    ViewChange& operator|=(const ViewChange& later);
};

class LibraryView {
public:
    explicit LibraryView(PolyphoneMap polyphones = {});

    // The games, in the order the grid lists them. Their fields may be edited
    // in place through editGames(); their number and order change only through
    // the operations below, which keep the listed games and the selection right.
    const std::vector<GameInfo>& games() const { return games_; }
    std::span<GameInfo> editGames() { return games_; }
    // Indices into games(), ascending: what the grid lists.
    const std::vector<std::size_t>& filteredIndices() const { return shown_; }
    // The selected game as an index into games(), or -1.
    int selectedIndex() const { return selectedIndex_; }
    const GameInfo* selectedGame() const;
    // The selected game's place among the listed games, or -1 when it is not listed.
    int selectedPosition() const;
    const std::string& searchQuery() const { return query_; }
    const CategoryState& categoryState() const { return category_; }
    bool desktopMode() const { return category_.desktopMode; }
    const std::vector<std::string>& categories() const { return categories_; }

    // A library read from data.db: nothing is selected or listed until the
    // first sort.
    void setGames(std::vector<GameInfo> games);
    // Games stored by an import, added at the end; sort() puts them in place.
    // Returns how many were added.
    std::size_t appendGames(std::vector<GameInfo> added);
    // Selects a game by its index in games() (-1: none).
    ViewChange select(int gameIndex);
    // Selects the game listed at `position` and puts the focus there.
    ViewChange selectAt(std::size_t position);
    // The first listed game, or none; the focus goes to the start.
    ViewChange selectFirstVisible();
    // Sorts in place; the selected game stays selected wherever it moves.
    // Then lists again (see filter()). An empty library is left alone.
    ViewChange sort(int sortMode, bool ascending, const Collator& names);
    // Lists again. Without a search the selection stays (the category
    // choices pick theirs through selectFirstVisible); with one the first
    // match is selected, or nothing when none matches.
    ViewChange filter();
    ViewChange setSearchQuery(std::string query);
    // A new category choice: listed again from the first game.
    ViewChange setCategoryState(const CategoryState& state);
    // Multi-select switched on: the choice so far stays listed as it is.
    void setMultiSelectMode(bool on);
    // The desktop view replaces the grid's games; the category choice is kept
    // apart from it until a tag is chosen.
    void enterDesktop();
    // A new category list; a selected category no longer in it stops
    // filtering. True when the listed games must be worked out again.
    bool setCategories(std::vector<std::string> categories);
    // Removes the game at `gameIndex`. A selected game removed passes the
    // selection to the game listed next in its place (the one before it when
    // it was the last, none when nothing is left); any other selection stays.
    // The focus follows the selected game.
    ViewChange remove(std::size_t gameIndex);

private:
    void reselect(std::optional<std::int64_t> id);
    // The first listed game, or none.
    ViewChange selectFirstListed();

    std::vector<GameInfo> games_;
    std::vector<std::size_t> shown_;
    std::optional<std::int64_t> selectedId_;
    int selectedIndex_ = -1;  // where selectedId_ is in games_, kept with every change of order
    std::string query_;
    CategoryState category_;
    std::vector<std::string> categories_;
    PolyphoneMap polyphones_;
};

}  // namespace ludexa
