// The counting window over a GTK window (the game settings dialog), as the
// game settings window opens it.
#pragma once

#include <gtk/gtk.h>

#include <functional>
#include <memory>

#include "platform/native_dialogs.h"

namespace ludexa {

// Modal over `parent`; `afterResult` runs once the result is shown.
std::shared_ptr<CountingWindow> openCountingWindowOver(std::shared_ptr<CountingWindowModel> model,
                                                       GtkWindow* parent, std::function<void()> afterResult);

}  // namespace ludexa
