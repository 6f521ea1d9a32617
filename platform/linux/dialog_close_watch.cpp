// DialogCloseWatch: a GLib emission hook on "unmap" of every GTK window. The
// hook runs before GTK asks the X server to hide the window, so the dialog is
// still on screen while the launcher drains its own input.
#include <gtk/gtk.h>

#include "platform/dialogs.h"

namespace ludexa {
namespace {

gboolean onUnmap(GSignalInvocationHint*, guint count, const GValue* values, gpointer data) {
    if (count == 0 || !G_VALUE_HOLDS_OBJECT(&values[0])) return TRUE;
    auto* object = static_cast<GObject*>(g_value_get_object(&values[0]));
    if (object != nullptr && GTK_IS_WINDOW(object)) {
        const auto& beforeClose = *static_cast<const std::function<void()>*>(data);
        if (beforeClose) beforeClose();
    }
    return TRUE;  // stays installed
}

}  // namespace

DialogCloseWatch::DialogCloseWatch(std::function<void()> beforeClose) : beforeClose_(std::move(beforeClose)) {
    // Without a display GTK never started: no dialog can open, nothing to watch.
    if (gdk_display_get_default() == nullptr) return;
    // The class must exist before its signals can be looked up.
    const gpointer widgetClass = g_type_class_ref(GTK_TYPE_WIDGET);
    signalId_ = g_signal_lookup("unmap", GTK_TYPE_WIDGET);
    if (signalId_ != 0) hookId_ = g_signal_add_emission_hook(signalId_, 0, &onUnmap, &beforeClose_, nullptr);
    g_type_class_unref(widgetClass);
}

DialogCloseWatch::~DialogCloseWatch() {
    if (hookId_ != 0) g_signal_remove_emission_hook(signalId_, hookId_);
}

}  // namespace ludexa
