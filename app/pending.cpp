// Temporary definitions for pieces whose real code is being written in
// parallel; each is deleted here when its own file defines it. This file is
// gone once every piece has landed.
#include "app/GameLauncher.h"

namespace ludexa {


}  // namespace ludexa
