// Helpers shared by the GTK dialogs of the platform layer.
#pragma once

#include <gtk/gtk.h>

#include <string>

#include "platform/dialogs.h"

namespace ludexa {

// Keeps the dialog above the SFML window (given by its X id), presented with
// the focus when it appears, and brought back above it whenever the owner
// takes the focus while the dialog is modal.
void makeTransientFor(GtkWidget* dialog, NativeWindow owner);
// Raises the window and gives it the focus each time it is mapped.
void presentWhenMapped(GtkWidget* window);
// Opens a file chooser in chooserStartFolder() of `preferred` (the path its
// field holds, if any) and of what the chooser with the same `key` (its
// title) returned last in this run, else in the home folder.
void startChooserIn(GtkWidget* chooser, const std::string& key, const std::string& preferred = {});
// Remembers what the chooser with this key returned, for its next opening.
void rememberChosen(const std::string& key, const std::string& path);
// Lets GTK finish unmapping a dialog before control returns to the SFML loop.
void drainGtkEvents();

}  // namespace ludexa
