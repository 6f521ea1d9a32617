// GTK message boxes, made transient for the SFML window (or the dialog that
// asks) through its X id, styled like the dialogs.
#include "platform/dialogs.h"

#include <gdk/gdkx.h>

#include <map>

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

namespace {

// The X server's time now, as a user action's time: a window shown with it
// counts as the answer to what the user just did, so the window manager maps
// it on top with the focus instead of holding it back behind the active
// window (the launcher's own input never passes through GDK, which therefore
// knows no time of the user's own).
guint32 userTimeNow(GtkWidget* window) {
    GdkWindow* gdkWindow = gtk_widget_get_window(window);
    if (gdkWindow == nullptr || !GDK_IS_X11_WINDOW(gdkWindow)) return GDK_CURRENT_TIME;
    return gdk_x11_get_server_time(gdkWindow);
}

void present(GtkWidget* window) {
    // A window that takes no focus (the waiting pop-up) is only raised.
    if (!gtk_window_get_accept_focus(GTK_WINDOW(window))) {
        if (GdkWindow* gdkWindow = gtk_widget_get_window(window)) gdk_window_raise(gdkWindow);
        return;
    }
    gtk_window_present_with_time(GTK_WINDOW(window), userTimeNow(window));
}

gboolean presentOnMap(GtkWidget* window, GdkEvent*, gpointer) {
    present(window);
    return FALSE;
}

// While a modal dialog is shown, the window it belongs to taking the focus
// (the user clicked it, or a second start brought it forward) gives the
// focus back to the dialog, raised above it: the dialog is what waits for an
// answer, and a main window that seems to ignore every click looks frozen.
// GDK listens to the owner's focus changes for as long as any dialog of it
// is open; the owner's input stays with its own client.
struct OwnerWatch {
    GdkWindow* owner;  // a reference of ours
    GtkWidget* dialog;
};

// Per owner: how many dialogs watch it, and what GDK's connection listened
// to on it before (nothing, for the SFML window), put back after the last.
struct OwnerListening {
    int dialogs = 0;
    long originalMask = 0;
};
std::map<GdkWindow*, OwnerListening>& ownerWatches() {
    static std::map<GdkWindow*, OwnerListening> watches;
    return watches;
}

void selectOwnerEvents(GdkWindow* owner, long mask) {
    GdkDisplay* display = gdk_window_get_display(owner);
    gdk_x11_display_error_trap_push(display);
    XSelectInput(GDK_DISPLAY_XDISPLAY(display), GDK_WINDOW_XID(owner), mask);
    gdk_x11_display_error_trap_pop_ignored(display);
}

GdkFilterReturn onOwnerEvent(GdkXEvent* native, GdkEvent*, gpointer data) {
    const auto* event = static_cast<const XEvent*>(native);
    auto* watch = static_cast<OwnerWatch*>(data);
    if (event->type == FocusIn && event->xfocus.mode == NotifyNormal && event->xfocus.detail != NotifyInferior &&
        gtk_widget_get_mapped(watch->dialog) && gtk_window_get_modal(GTK_WINDOW(watch->dialog)))
        present(watch->dialog);
    return GDK_FILTER_CONTINUE;
}

void endOwnerWatch(GtkWidget*, gpointer data) {
    auto* watch = static_cast<OwnerWatch*>(data);
    gdk_window_remove_filter(watch->owner, onOwnerEvent, watch);
    auto& watches = ownerWatches();
    if (auto it = watches.find(watch->owner); it != watches.end() && --it->second.dialogs == 0) {
        selectOwnerEvents(watch->owner, it->second.originalMask);
        watches.erase(it);
    }
    g_object_unref(watch->owner);
    delete watch;
}

void watchOwnerFocus(GtkWidget* dialog, GdkWindow* owner) {
    auto& listening = ownerWatches()[owner];
    if (listening.dialogs++ == 0) {
        GdkDisplay* display = gdk_window_get_display(owner);
        XWindowAttributes attributes{};
        gdk_x11_display_error_trap_push(display);
        if (XGetWindowAttributes(GDK_DISPLAY_XDISPLAY(display), GDK_WINDOW_XID(owner), &attributes) != 0)
            listening.originalMask = attributes.your_event_mask;
        gdk_x11_display_error_trap_pop_ignored(display);
        selectOwnerEvents(owner, listening.originalMask | FocusChangeMask);
    }
    auto* watch = new OwnerWatch{GDK_WINDOW(g_object_ref(owner)), dialog};
    gdk_window_add_filter(owner, onOwnerEvent, watch);
    g_signal_connect(dialog, "destroy", G_CALLBACK(endOwnerWatch), watch);
}

}  // namespace

void presentWhenMapped(GtkWidget* window) {
    if (g_object_get_data(G_OBJECT(window), "ludexa-present-on-map") != nullptr) return;
    g_object_set_data(G_OBJECT(window), "ludexa-present-on-map", GINT_TO_POINTER(1));
    g_signal_connect(window, "map-event", G_CALLBACK(presentOnMap), nullptr);
}

void makeTransientFor(GtkWidget* dialog, NativeWindow owner) {
    presentWhenMapped(dialog);
    if (owner == 0) return;
    gtk_widget_realize(dialog);
    GdkDisplay* display = gdk_display_get_default();
    if (!GDK_IS_X11_DISPLAY(display)) return;
    GdkWindow* window = gtk_widget_get_window(dialog);
    gdk_x11_window_set_user_time(window, userTimeNow(dialog));
    GdkWindow* foreign = gdk_x11_window_foreign_new_for_display(display, owner);
    if (foreign == nullptr) return;
    gdk_window_set_transient_for(window, foreign);
    watchOwnerFocus(dialog, foreign);
    g_object_unref(foreign);
}

}  // namespace ludexa
