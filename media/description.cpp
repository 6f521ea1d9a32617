// The text area's content: the selected game's header line and description.
#include "app/GameLauncher.h"

namespace ludexa {

void GameLauncher::updateTextContent() {}

void GameLauncher::updateRichEditText() {}

}  // namespace ludexa
