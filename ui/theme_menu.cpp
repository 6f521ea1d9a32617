// The theme menu of the "换肤" button, drawn like the blank-area menu.
#include "app/GameLauncher.h"

namespace ludexa {

void GameLauncher::openThemeMenu() {}
bool GameLauncher::themeMenuClick(float, float) { return false; }
void GameLauncher::themeMenuHover(float, float) {}
void GameLauncher::drawThemeMenu() {}

}  // namespace ludexa
