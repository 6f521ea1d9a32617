// Helpers shared by the GTK windows of the native dialogs (settings, game
// settings, category manager, help, size counting).
#pragma once

#include <gtk/gtk.h>

#include <functional>
#include <memory>

#include "platform/dialogs.h"

namespace ludexa::native_gtk {

// A toplevel window destroyed when it goes out of scope.
struct WidgetDestroyer {
    void operator()(GtkWidget* widget) const {
        if (widget != nullptr) gtk_widget_destroy(widget);
    }
};
using WindowPtr = std::unique_ptr<GtkWidget, WidgetDestroyer>;

// A GObject reference of our own.
struct ObjectUnref {
    void operator()(gpointer object) const {
        if (object != nullptr) g_object_unref(object);
    }
};
template <typename T>
using ObjectPtr = std::unique_ptr<T, ObjectUnref>;

// Loads the dialogs' style sheet once (switch colours, Chinese fonts, focus).
void installStyle();

// Gives any toplevel of ours (dialog, message box, chooser, small window) the
// shared look: Chinese text in the Simplified Chinese face, a keyboard focus
// that is plainly visible on every control.
void styleAsDialog(GtkWidget* window);

// Where a dialog stays: above the launcher only (it goes behind another
// program the user brings forward), or above every program.
enum class Stacking { AboveOwner, AboveAll };

// A new toplevel dialog window: our style, transient for and centred over
// `owner` (an X window) once it is shown, focused when it appears.
GtkWidget* newDialog(const char* title, NativeWindow owner, int width, int height,
                     Stacking stacking = Stacking::AboveOwner);
// Enter means `response` (the dialog's default button) wherever the focus is,
// except on a push button, which Enter presses as Space does; Escape means
// `cancel`.
void enterAccepts(GtkWidget* dialog, int response, int cancel);
// An entry the user reads and selects from but cannot change, and that looks so.
void makeReadOnly(GtkWidget* entry);
// Marks `frame` while `focusable` inside it has the keyboard focus: a text
// pane draws no focus of its own.
void showFocusOn(GtkWidget* focusable, GtkWidget* frame);
// Centres a window over `owner` (an X window) or over `parent` (a GTK window).
void centreOver(GtkWindow* window, NativeWindow owner, GtkWindow* parent, int width, int height);
// Gives the window the keyboard focus as soon as it is mapped (without a
// window manager nobody else would).
void focusWhenMapped(GtkWidget* window);
// The X window of a realised GTK window, for message boxes shown over it.
NativeWindow xidOf(GtkWidget* window);
// After a modal window was destroyed: GTK unmaps it, the owner gets the focus.
void finishModal(NativeWindow owner);

// For the time a modal window runs: calls the ModalRepaint function now and
// then (platform/native_dialogs.h).
class RepaintWhileModal {
public:
    RepaintWhileModal();
    ~RepaintWhileModal();
    RepaintWhileModal(const RepaintWhileModal&) = delete;
    RepaintWhileModal& operator=(const RepaintWhileModal&) = delete;

private:
    guint timer_ = 0;
};

// A switch button: a toggle button coloured green when on, grey when off.
GtkWidget* switchButton(const char* label, int width, int height);
// A label aligned to the right, as the dialogs put them before a field.
GtkWidget* rightLabel(const char* text, int width);
GtkWidget* leftLabel(const char* text);

}  // namespace ludexa::native_gtk
