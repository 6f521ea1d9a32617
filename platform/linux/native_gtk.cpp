// Helpers of the native dialogs' GTK windows: one style sheet, placement over
// the main window, focus without a window manager.
#include "platform/linux/native_gtk.h"

#include <gdk/gdkx.h>

#include "platform/linux/gtk_util.h"
#include "platform/native_dialogs.h"
#include "platform/window.h"

namespace ludexa::native_gtk {
namespace {

// The switch colours; Chinese text in the Simplified Chinese faces, never in
// the Japanese face a CJK collection offers first.
constexpr const char* kStyle = R"css(
.ludexa-dialog, .ludexa-dialog * {
  font-family: "Noto Sans CJK SC", "WenQuanYi Micro Hei", "WenQuanYi Zen Hei", "Droid Sans Fallback",
               "AR PL UMing CN", sans-serif;
}
button.ludexa-switch, button.ludexa-switch:hover, button.ludexa-switch:disabled {
  background-image: none;
  background-color: rgb(90, 90, 95);
  border: 1px solid rgb(70, 70, 75);
  border-radius: 0;
  box-shadow: none;
  text-shadow: none;
  -gtk-icon-shadow: none;
  color: white;
  min-height: 0;
  min-width: 0;
  padding: 2px 4px;
}
button.ludexa-switch:active, button.ludexa-switch:hover:active {
  background-color: rgb(65, 65, 70);
}
button.ludexa-switch:checked, button.ludexa-switch:checked:hover, button.ludexa-switch:checked:disabled {
  background-color: rgb(50, 185, 90);
  border-color: rgb(30, 140, 60);
}
button.ludexa-switch:checked:active, button.ludexa-switch:checked:hover:active {
  background-color: rgb(35, 155, 70);
}
button.ludexa-switch label, button.ludexa-switch:disabled label {
  color: white;
}
)css";

}  // namespace

void installStyle() {
    static bool installed = false;
    if (installed) return;
    GdkScreen* screen = gdk_screen_get_default();
    if (screen == nullptr) return;
    // The provider lives for the rest of the run: the screen keeps its own reference.
    ObjectPtr<GtkCssProvider> provider(gtk_css_provider_new());
    if (!gtk_css_provider_load_from_data(provider.get(), kStyle, -1, nullptr)) return;
    gtk_style_context_add_provider_for_screen(screen, GTK_STYLE_PROVIDER(provider.get()),
                                              GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
    installed = true;
}

namespace {

gboolean focusOnMap(GtkWidget* widget, GdkEvent*, gpointer) {
    if (GdkWindow* window = gtk_widget_get_window(widget)) gdk_window_focus(window, GDK_CURRENT_TIME);
    return FALSE;
}

}  // namespace

GtkWidget* newDialog(const char* title, NativeWindow owner, int width, int height) {
    installStyle();
    GtkWidget* dialog = gtk_dialog_new();
    gtk_window_set_title(GTK_WINDOW(dialog), title);
    gtk_window_set_default_size(GTK_WINDOW(dialog), width, height);
    gtk_window_set_type_hint(GTK_WINDOW(dialog), GDK_WINDOW_TYPE_HINT_DIALOG);
    gtk_window_set_skip_taskbar_hint(GTK_WINDOW(dialog), TRUE);
    gtk_window_set_keep_above(GTK_WINDOW(dialog), TRUE);
    gtk_style_context_add_class(gtk_widget_get_style_context(dialog), "ludexa-dialog");
    makeTransientFor(dialog, owner);
    centreOver(GTK_WINDOW(dialog), owner, nullptr, width, height);
    focusWhenMapped(dialog);
    return dialog;
}

void centreOver(GtkWindow* window, NativeWindow owner, GtkWindow* parent, int width, int height) {
    int x = 0, y = 0, w = 0, h = 0;
    if (parent != nullptr) {
        gtk_window_get_position(parent, &x, &y);
        gtk_window_get_size(parent, &w, &h);
    } else if (owner != 0) {
        const ScreenRect rect = windowRect(owner);
        x = rect.x;
        y = rect.y;
        w = rect.width;
        h = rect.height;
    }
    if (w <= 0 || h <= 0) {
        gtk_window_set_position(window, GTK_WIN_POS_CENTER);
        return;
    }
    gtk_window_move(window, x + (w - width) / 2, y + (h - height) / 2);
}

void focusWhenMapped(GtkWidget* window) { g_signal_connect(window, "map-event", G_CALLBACK(focusOnMap), nullptr); }

NativeWindow xidOf(GtkWidget* window) {
    GdkWindow* gdkWindow = gtk_widget_get_window(window);
    if (gdkWindow == nullptr || !GDK_IS_X11_WINDOW(gdkWindow)) return 0;
    return static_cast<NativeWindow>(gdk_x11_window_get_xid(gdkWindow));
}

void finishModal(NativeWindow owner) {
    drainGtkEvents();
    activateWindow(owner);
}

GtkWidget* switchButton(const char* label, int width, int height) {
    installStyle();
    GtkWidget* button = gtk_toggle_button_new_with_label(label);
    gtk_style_context_add_class(gtk_widget_get_style_context(button), "ludexa-switch");
    gtk_widget_set_size_request(button, width, height);
    return button;
}

GtkWidget* rightLabel(const char* text, int width) {
    GtkWidget* label = gtk_label_new(text);
    gtk_label_set_xalign(GTK_LABEL(label), 1.0f);
    if (width > 0) gtk_widget_set_size_request(label, width, -1);
    return label;
}

GtkWidget* leftLabel(const char* text) {
    GtkWidget* label = gtk_label_new(text);
    gtk_label_set_xalign(GTK_LABEL(label), 0.0f);
    return label;
}

namespace {

std::function<void()>& repaintHook() {
    static std::function<void()> hook;
    return hook;
}

gboolean repaintNow(gpointer) {
    if (repaintHook()) repaintHook()();
    return G_SOURCE_CONTINUE;
}

}  // namespace

RepaintWhileModal::RepaintWhileModal() {
    if (repaintHook()) timer_ = g_timeout_add(100, repaintNow, nullptr);
}

RepaintWhileModal::~RepaintWhileModal() {
    if (timer_ != 0) g_source_remove(timer_);
}

}  // namespace ludexa::native_gtk

namespace ludexa {

ModalRepaint::ModalRepaint(std::function<void()> repaint) { native_gtk::repaintHook() = std::move(repaint); }
ModalRepaint::~ModalRepaint() { native_gtk::repaintHook() = nullptr; }

}  // namespace ludexa
