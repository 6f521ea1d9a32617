// Temporary definitions for pieces whose real code is being written in
// parallel; each is deleted here when its own file defines it. This file is
// gone once every piece has landed.
#include "app/GameLauncher.h"

namespace ludexa {

// ui/widgets/text_box.cpp
void SfmlTextBox::buildLines() {}
void SfmlTextBox::draw(sf::RenderWindow&) {}
int SfmlTextBox::getRawOffset(int) const { return 0; }
float SfmlTextBox::charX(int, int, bool) const { return 0; }
int SfmlTextBox::hitTest(float, float) const { return 0; }
std::wstring SfmlTextBox::selectedText() const { return {}; }
void SfmlTextBox::copySelection() const {}
void SfmlTextBox::setText(const std::wstring& t, bool bold) { text = t, boldFirstLine = bold; }
float SfmlTextBox::maxWheelScroll() const { return 0; }

// ui/widgets/search_box.cpp
void SearchBox::draw(sf::RenderWindow&) {}
void SearchBox::drawContextMenu(sf::RenderWindow&) {}
void SearchBox::adjustScroll() {}
void SearchBox::setCursorFromMouse(float) {}
void SearchBox::pasteFromClipboard() {}
bool SearchBox::insertPastedText(const std::wstring&) { return false; }
std::string SearchBox::getTextUTF8() const { return {}; }
float SearchBox::getTextWidth(const std::wstring&) const { return 0; }
bool SearchBox::contains(float, float) const { return false; }
bool SearchBox::contextMenuContains(float, float) const { return false; }

// library/sort.cpp, library/filter.cpp
void GameLauncher::sortGames() { filterGames(); }
void GameLauncher::filterGames() {
    filteredIndices.clear();
    for (std::size_t i = 0; i < games.size(); ++i) filteredIndices.push_back(i);
}
void GameLauncher::handleSearchChange() {}

// media/gif/gif_animation.cpp
void GifAnimation::clear() {}
GifAnimation::~GifAnimation() = default;
GifAnimation::GifAnimation(GifAnimation&&) noexcept {}
GifAnimation& GifAnimation::operator=(GifAnimation&&) noexcept { return *this; }
bool GifAnimation::loadFromFile(const std::string&) { return false; }
void GifAnimation::updateTexture(sf::Texture&) {}
bool GifAnimation::frameDue() const { return false; }

// library/import.cpp
void GameLauncher::addGames() {}
int GameLauncher::addGamesFromDirectory(const std::string&) { return 0; }

// dialogs/, library/size_count.cpp
void GameLauncher::showSettingsDialog() {}
void GameLauncher::showGameSettingsDialog(int) {}
void GameLauncher::showCategoryManagerDialog() {}
void GameLauncher::showHelpDialog() {}
void GameLauncher::showSizeCountingDialog(int) {}

}  // namespace ludexa
