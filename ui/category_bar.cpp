// The category tag bar inside the toolbar band.
#include "app/GameLauncher.h"

namespace ludexa {

void GameLauncher::drawCategoryBar() {}

bool GameLauncher::handleCategoryBarClick(float, float) { return false; }

void GameLauncher::quickSwitchCategory(int) {}

void GameLauncher::updateCategoryExpandState() {}

void GameLauncher::applyGamepadCategoryClick() {}

}  // namespace ludexa
