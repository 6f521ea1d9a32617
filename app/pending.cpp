// Temporary definitions for pieces whose real code is being written in
// parallel; each is deleted here when its own file defines it. This file is
// gone once every piece has landed.
#include "app/GameLauncher.h"

namespace ludexa {

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
