// handleGamepad(): controller navigation, polled once per frame.
#include "app/GameLauncher.h"

namespace ludexa {

void GameLauncher::handleGamepad() {}

}  // namespace ludexa
