// The library view: sorting, listing, selecting and removing games, each
// reporting what the window must show again.
#include "library/library_view.h"

#include <algorithm>

#include "library/filter.h"
#include "library/sort.h"

namespace ludexa {

ViewChange& ViewChange::operator|=(const ViewChange& later) {
    shown = shown || later.shown;
    // What the later step shows replaces what the earlier one would have.
    if (later.selection) noMatch = false;
    if (later.noMatch) selection = false;
    selection = selection || later.selection;
    noMatch = noMatch || later.noMatch;
    if (later.focus) focus = later.focus;
    return *this;
}

LibraryView::LibraryView(PolyphoneMap polyphones) : polyphones_(std::move(polyphones)) {}

const GameInfo* LibraryView::selectedGame() const {
    return selectedIndex_ >= 0 ? &games_[static_cast<std::size_t>(selectedIndex_)] : nullptr;
}

int LibraryView::selectedPosition() const {
    if (selectedIndex_ < 0) return -1;
    const auto it = std::find(shown_.begin(), shown_.end(), static_cast<std::size_t>(selectedIndex_));
    return it == shown_.end() ? -1 : static_cast<int>(it - shown_.begin());
}

void LibraryView::reselect(std::optional<std::int64_t> id) {
    selectedId_.reset();
    selectedIndex_ = -1;
    if (!id) return;
    const auto it = std::find_if(games_.begin(), games_.end(), [&](const GameInfo& g) { return g.id == *id; });
    if (it == games_.end()) return;
    selectedId_ = id;
    selectedIndex_ = static_cast<int>(it - games_.begin());
}

void LibraryView::setGames(std::vector<GameInfo> games) {
    games_ = std::move(games);
    shown_.clear();
    reselect(std::nullopt);
}

std::size_t LibraryView::appendGames(std::vector<GameInfo> added) {
    games_.reserve(games_.size() + added.size());
    for (auto& game : added) games_.push_back(std::move(game));
    return added.size();
}

ViewChange LibraryView::select(int gameIndex) {
    if (gameIndex == selectedIndex_) return {};
    const bool valid = gameIndex >= 0 && static_cast<std::size_t>(gameIndex) < games_.size();
    reselect(valid ? std::optional(games_[static_cast<std::size_t>(gameIndex)].id) : std::nullopt);
    return {.selection = true};
}

ViewChange LibraryView::selectAt(std::size_t position) {
    if (position >= shown_.size()) return {};
    ViewChange change = select(static_cast<int>(shown_[position]));
    change.focus = static_cast<int>(position);
    return change;
}

ViewChange LibraryView::selectFirstListed() {
    reselect(shown_.empty() ? std::nullopt : std::optional(games_[shown_.front()].id));
    // With a search that matches nothing the text area says so instead.
    if (shown_.empty() && !query_.empty()) return {.noMatch = true};
    return {.selection = true};
}

ViewChange LibraryView::selectFirstVisible() {
    ViewChange change = selectFirstListed();
    change.focus = 0;
    return change;
}

ViewChange LibraryView::sort(int sortMode, bool ascending, const Collator& names) {
    if (games_.empty()) return {};
    sortGameList(games_, sortMode, ascending, names);
    reselect(selectedId_);
    return filter();
}

ViewChange LibraryView::filter() {
    shown_ = filterGameIndices(games_, category_.categoryMode, category_.selectedCategories, query_, polyphones_);
    ViewChange change{.shown = true};
    if (!query_.empty()) change |= selectFirstListed();
    return change;
}

ViewChange LibraryView::setSearchQuery(std::string query) {
    query_ = std::move(query);
    return filter();
}

ViewChange LibraryView::setCategoryState(const CategoryState& state) {
    category_ = state;
    ViewChange change = filter();
    change |= selectFirstVisible();
    return change;
}

void LibraryView::setMultiSelectMode(bool on) { category_.multiSelectMode = on; }

void LibraryView::enterDesktop() {
    category_.desktopMode = true;
    category_.categoryMode = -1;
    category_.selectedCategories.clear();
}

bool LibraryView::setCategories(std::vector<std::string> categories) {
    categories_ = std::move(categories);
    const auto erased = std::erase_if(category_.selectedCategories, [&](const std::string& name) {
        return std::find(categories_.begin(), categories_.end(), name) == categories_.end();
    });
    return erased > 0;
}

ViewChange LibraryView::remove(std::size_t gameIndex) {
    if (gameIndex >= games_.size()) return {};
    const bool wasSelected = static_cast<int>(gameIndex) == selectedIndex_;
    const auto it = std::find(shown_.begin(), shown_.end(), gameIndex);
    const std::size_t position = it == shown_.end() ? 0 : static_cast<std::size_t>(it - shown_.begin());
    games_.erase(games_.begin() + static_cast<std::ptrdiff_t>(gameIndex));
    reselect(wasSelected ? std::nullopt : selectedId_);
    shown_ = filterGameIndices(games_, category_.categoryMode, category_.selectedCategories, query_, polyphones_);

    ViewChange change{.shown = true, .selection = true, .focus = 0};
    if (shown_.empty()) return change;
    // The game now listed where the removed one was, never past the end.
    const std::size_t next = std::min(position, shown_.size() - 1);
    if (wasSelected) reselect(games_[shown_[next]].id);
    const int selected = selectedPosition();
    change.focus = selected >= 0 ? selected : static_cast<int>(next);
    return change;
}

}  // namespace ludexa
