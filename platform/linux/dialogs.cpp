// GTK message boxes, made transient for the SFML window (or the dialog that
// asks) through its X id, styled like the dialogs.
#include "platform/dialogs.h"

#include <gdk/gdkx.h>

#include "platform/linux/gtk_util.h"
#include "platform/linux/native_gtk.h"
#include "platform/shutdown_signal.h"

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
        case MessageIcon::Question: return GTK_MESSAGE_QUESTION;
        case MessageIcon::Plain: break;
    }
    return GTK_MESSAGE_OTHER;
}

const char* iconName(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Information: return "dialog-information";
        case MessageIcon::Warning: return "dialog-warning";
        case MessageIcon::Error: return "dialog-error";
        case MessageIcon::Question: return "dialog-question";
        case MessageIcon::Plain: break;
    }
    return nullptr;
}

// GTK 3 message dialogs no longer show the kind of message as a picture; the
// box puts it back beside the text, where a user of any desktop looks for it.
void addIcon(GtkWidget* dialog, MessageIcon icon) {
    const char* name = iconName(icon);
    if (name == nullptr) return;
    GtkWidget* text = gtk_message_dialog_get_message_area(GTK_MESSAGE_DIALOG(dialog));
    GtkWidget* row = gtk_widget_get_parent(text);
    if (row == nullptr || !GTK_IS_BOX(row)) return;
    GtkWidget* image = gtk_image_new_from_icon_name(name, GTK_ICON_SIZE_DIALOG);
    gtk_widget_set_valign(image, GTK_ALIGN_START);
    gtk_box_pack_start(GTK_BOX(row), image, FALSE, FALSE, 0);
    gtk_box_reorder_child(GTK_BOX(row), image, 0);
    gtk_widget_show(image);
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
    if (!g_gtkReady) {
        g_gtkReady = gtk_init_check(nullptr, nullptr) == TRUE;
        if (g_gtkReady) endDialogsOnShutdown();
    }
    return g_gtkReady;
}

void setMessageBoxHook(MessageBoxHook h) { hook() = std::move(h); }

bool showMessageBox(const MessageBoxRequest& request) {
    if (hook()) return hook()(request);
    // The program is closing for a logout: nobody is there to answer, and a
    // question counts as declined.
    if (shutdownRequested() || !initDialogs()) return false;
    GtkWidget* dialog = gtk_message_dialog_new(nullptr, GTK_DIALOG_MODAL, messageType(request.icon), GTK_BUTTONS_NONE,
                                               "%s", request.text.c_str());
    // The buttons speak the program's language whatever the system's locale.
    if (request.buttons == MessageButtons::YesNo) {
        gtk_dialog_add_button(GTK_DIALOG(dialog), "是(_Y)", GTK_RESPONSE_YES);
        gtk_dialog_add_button(GTK_DIALOG(dialog), "否(_N)", GTK_RESPONSE_NO);
        gtk_dialog_set_default_response(GTK_DIALOG(dialog), GTK_RESPONSE_YES);
    } else {
        gtk_dialog_add_button(GTK_DIALOG(dialog), "确定", GTK_RESPONSE_OK);
        gtk_dialog_set_default_response(GTK_DIALOG(dialog), GTK_RESPONSE_OK);
    }
    gtk_window_set_title(GTK_WINDOW(dialog), request.caption.c_str());
    native_gtk::styleAsDialog(dialog);
    addIcon(dialog, request.icon);
    // Above its owner (the launcher or a dialog), not above other programs;
    // a box without an owner is centred on the screen.
    makeTransientFor(dialog, request.owner);
    if (request.owner != 0) {
        GtkRequisition natural{};
        gtk_widget_get_preferred_size(dialog, nullptr, &natural);
        native_gtk::centreOver(GTK_WINDOW(dialog), request.owner, nullptr, natural.width, natural.height);
    } else {
        gtk_window_set_position(GTK_WINDOW(dialog), GTK_WIN_POS_CENTER);
    }
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
