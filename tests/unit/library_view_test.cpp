// The library view without a window: what a search, a sort, a category choice
// and a delete do to the listed games, the selection and the focus, and what
// they report for the window to show again.
#include <gtest/gtest.h>

#include "library/library_view.h"
#include "library/sort.h"
#include "platform/collate.h"

using namespace ludexa;

namespace {

using Indices = std::vector<std::size_t>;

// Games 1..n; `categories` gives each one's category text.
LibraryView viewOf(const std::vector<std::string>& categories) {
    std::vector<GameInfo> games;
    for (const auto& category : categories) {
        games.emplace_back();
        games.back().id = static_cast<std::int64_t>(games.size());
        games.back().name = "Game " + std::to_string(games.size());
        games.back().category = category;
        games.back().created_at = "2024-01-0" + std::to_string(games.size());
    }
    LibraryView view;
    view.setGames(std::move(games));
    view.setCategories({"A", "B"});
    view.filter();
    return view;
}

std::int64_t selectedId(const LibraryView& view) {
    return view.selectedGame() ? view.selectedGame()->id : -1;
}

void selectId(LibraryView& view, std::int64_t id) { view.select(static_cast<int>(id - 1)); }

CategoryState onlyCategory(const std::string& name) {
    CategoryState state;
    state.selectedCategories = {name};
    return state;
}

}  // namespace

TEST(LibraryView, SearchSelectsTheFirstMatchOrNothing) {
    LibraryView view = viewOf({"A", "B", "A", "B"});
    selectId(view, 4);
    ViewChange change = view.filter();  // no search: the selection stays
    EXPECT_TRUE(change.shown);
    EXPECT_FALSE(change.selection || change.noMatch);
    EXPECT_EQ(selectedId(view), 4);

    change = view.setSearchQuery("3");
    EXPECT_EQ(view.filteredIndices(), Indices{2});
    EXPECT_TRUE(change.selection);
    EXPECT_EQ(selectedId(view), 3);

    change = view.setSearchQuery("中文");
    EXPECT_TRUE(view.filteredIndices().empty());
    EXPECT_TRUE(change.noMatch && !change.selection);
    EXPECT_EQ(view.selectedIndex(), -1);
}

TEST(LibraryView, SortKeepsTheSelectedGameWhereverItMoves) {
    const Collator names = Collator::forLocale("en_US");
    LibraryView empty;
    EXPECT_FALSE(empty.sort(SortById, true, names).any());

    LibraryView view = viewOf({"A", "B", "A"});
    selectId(view, 1);
    const ViewChange change = view.sort(SortById, false, names);
    EXPECT_TRUE(change.shown && !change.selection);
    EXPECT_EQ(view.games().front().id, 3);
    EXPECT_EQ(selectedId(view), 1);
    EXPECT_EQ(view.selectedPosition(), 2);

    view.setSearchQuery("game");  // with a search the first match is selected
    view.sort(SortByTime, true, names);
    EXPECT_EQ(selectedId(view), 1);
}

TEST(LibraryView, CategoryChoiceSelectsTheFirstListedGame) {
    LibraryView view = viewOf({"A", "B", "A|B", "B"});
    selectId(view, 1);
    ViewChange change = view.setCategoryState(onlyCategory("B"));
    EXPECT_EQ(view.filteredIndices(), (Indices{1, 2, 3}));
    EXPECT_EQ(selectedId(view), 2);
    EXPECT_TRUE(change.shown && change.selection);
    EXPECT_EQ(change.focus, 0);

    CategoryState favourites;
    favourites.categoryMode = 1;
    change = view.setCategoryState(favourites);  // no favourites: nothing selected, the text area says so
    EXPECT_EQ(view.selectedIndex(), -1);
    EXPECT_TRUE(change.selection && !change.noMatch);

    view.setSearchQuery("game");
    change = view.setCategoryState(onlyCategory("Z"));  // the search has nothing left to match
    EXPECT_TRUE(change.noMatch && !change.selection);

    // A category deleted from the list stops filtering.
    view.setCategoryState(onlyCategory("A"));
    EXPECT_FALSE(view.setCategories({"A", "C"}));
    EXPECT_TRUE(view.setCategories({"C"}));
    EXPECT_TRUE(view.categoryState().selectedCategories.empty());
}

TEST(LibraryView, LaterChangesReplaceWhatEarlierOnesWouldShow) {
    ViewChange change{.noMatch = true};
    change |= ViewChange{.selection = true, .focus = 2};
    EXPECT_TRUE(change.selection && !change.noMatch);
    EXPECT_EQ(change.focus, 2);
    change |= ViewChange{.shown = true, .noMatch = true};
    EXPECT_TRUE(change.shown && change.noMatch && !change.selection);
    EXPECT_EQ(change.focus, 2);
}

TEST(LibraryView, SelectionAndFocusAfterADelete) {
    struct Case {
        const char* what;
        std::vector<std::string> categories;
        std::string shownCategory;  // empty: every game listed
        std::int64_t selected, deleted;
        std::int64_t selectedAfter;  // -1 none
        int focusAfter;
    };
    const Case cases[] = {
        {"selected game in the middle", {"A", "A", "A", "A"}, "", 2, 2, 3, 1},
        {"selected game listed last", {"A", "A", "A", "A"}, "", 4, 4, 3, 2},
        {"the only game", {"A"}, "", 1, 1, -1, 0},
        {"filtered list, game in the middle", {"A", "B", "A", "A"}, "A", 3, 3, 4, 1},
        {"filtered list, last listed game", {"A", "B", "A", "A"}, "A", 4, 4, 3, 1},
        {"filtered list, last listed game of one", {"A", "B", "B"}, "A", 1, 1, -1, 0},
        {"another game deleted", {"A", "A", "A", "A"}, "", 4, 1, 4, 2},
        {"an unlisted game deleted", {"A", "B", "A", "A"}, "A", 3, 2, 3, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        LibraryView view = viewOf(c.categories);
        if (!c.shownCategory.empty()) view.setCategoryState(onlyCategory(c.shownCategory));
        selectId(view, c.selected);
        const ViewChange change = view.remove(static_cast<std::size_t>(c.deleted - 1));
        EXPECT_TRUE(change.shown && change.selection);
        EXPECT_EQ(selectedId(view), c.selectedAfter);
        EXPECT_EQ(change.focus, c.focusAfter);
        EXPECT_EQ(view.games().size(), c.categories.size() - 1);
        for (std::size_t index : view.filteredIndices()) EXPECT_LT(index, view.games().size());
    }
    LibraryView view = viewOf({"A"});
    EXPECT_FALSE(view.remove(5).any());  // past the end: nothing happens
    EXPECT_EQ(view.games().size(), 1u);
}
