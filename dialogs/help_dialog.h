// The help dialog ("帮助"): a heading, the usage guide and the gamepad button
// table. It has no state and changes nothing.
#pragma once

#include "platform/native_dialogs.h"

namespace ludexa {

// The texts the dialog shows; lines joined by "\n", paragraphs separated by
// one empty line and the two sections of each pane by two.
HelpContent helpContent();

}  // namespace ludexa
