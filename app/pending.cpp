// Temporary definitions for pieces whose real code is being written in
// parallel; each is deleted here when its own file defines it.
#include "app/GameLauncher.h"

namespace ludexa {

void SfmlTextBox::buildLines() {}
void GameLauncher::sortGames() { filterGames(); }
void GameLauncher::filterGames() {
    filteredIndices.clear();
    for (std::size_t i = 0; i < games.size(); ++i) filteredIndices.push_back(i);
}
void GifAnimation::clear() {}
GifAnimation::~GifAnimation() = default;

}  // namespace ludexa
