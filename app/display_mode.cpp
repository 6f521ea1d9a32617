// The three display modes: framed, borderless over the work area, whole monitor.
#include "app/GameLauncher.h"

namespace ludexa {

void GameLauncher::toggleFullscreen() {}

}  // namespace ludexa
