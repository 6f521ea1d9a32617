// Helpers shared by the GTK dialogs of the platform layer.
#pragma once

#include <gtk/gtk.h>

#include "platform/dialogs.h"

namespace ludexa {

// Keeps the dialog above the SFML window (given by its X id) and centred on it.
void makeTransientFor(GtkWidget* dialog, NativeWindow owner);
// Lets GTK finish unmapping a dialog before control returns to the SFML loop.
void drainGtkEvents();

}  // namespace ludexa
