// GTK message boxes, made transient for the SFML window through its X id.
#include "platform/dialogs.h"

#include <gdk/gdkx.h>

#include "platform/linux/gtk_util.h"

namespace ludexa {
namespace {

bool g_gtkReady = false;

MessageBoxHook& hook() {
    static MessageBoxHook h;
    return h;
}

GtkMessageType messageType(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Information: return GTK_MESSAGE_INFO;
        case MessageIcon::Warning: return GTK_MESSAGE_WARNING;
        case MessageIcon::Error: return GTK_MESSAGE_ERROR;
        case MessageIcon::Plain: break;
    }
    return GTK_MESSAGE_OTHER;
}

}  // namespace

void drainGtkEvents() {
    while (gtk_events_pending()) gtk_main_iteration_do(FALSE);
}

static void discardLogMessage(const gchar*, GLogLevelFlags, const gchar*, gpointer) {}
static GLogWriterOutput discardStructuredLog(GLogLevelFlags, const GLogField*, gsize, gpointer) {
    return G_LOG_WRITER_HANDLED;
}

bool initDialogs() {
    // The product prints nothing: toolkit warnings (no D-Bus session, missing
    // themes) are dropped rather than written to the terminal.
    static const bool silenced = [] {
        g_log_set_default_handler(discardLogMessage, nullptr);
        g_log_set_writer_func(discardStructuredLog, nullptr, nullptr);
        return true;
    }();
    (void)silenced;
    if (!g_gtkReady) g_gtkReady = gtk_init_check(nullptr, nullptr) == TRUE;
    return g_gtkReady;
}

void setMessageBoxHook(MessageBoxHook h) { hook() = std::move(h); }

bool showMessageBox(const MessageBoxRequest& request) {
    if (hook()) return hook()(request);
    if (!initDialogs()) return false;
    GtkWidget* dialog = gtk_message_dialog_new(
        nullptr, GTK_DIALOG_MODAL, messageType(request.icon),
        request.buttons == MessageButtons::YesNo ? GTK_BUTTONS_YES_NO : GTK_BUTTONS_OK, "%s", request.text.c_str());
    gtk_window_set_title(GTK_WINDOW(dialog), request.caption.c_str());
    gtk_window_set_position(GTK_WINDOW(dialog), GTK_WIN_POS_CENTER);
    gtk_window_set_keep_above(GTK_WINDOW(dialog), TRUE);
    makeTransientFor(dialog, request.owner);
    const gint response = gtk_dialog_run(GTK_DIALOG(dialog));
    gtk_widget_destroy(dialog);
    drainGtkEvents();
    return response == GTK_RESPONSE_OK || response == GTK_RESPONSE_YES;
}

void makeTransientFor(GtkWidget* dialog, NativeWindow owner) {
    if (owner == 0) return;
    gtk_widget_realize(dialog);
    GdkDisplay* display = gdk_display_get_default();
    if (!GDK_IS_X11_DISPLAY(display)) return;
    GdkWindow* foreign = gdk_x11_window_foreign_new_for_display(display, owner);
    if (foreign == nullptr) return;
    gdk_window_set_transient_for(gtk_widget_get_window(dialog), foreign);
    g_object_unref(foreign);
}

}  // namespace ludexa
