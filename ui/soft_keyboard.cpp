// The on-screen keyboard for typing a search with a gamepad.
#include "app/GameLauncher.h"

namespace ludexa {

void GameLauncher::drawSoftKeyboard() {}

}  // namespace ludexa
