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
// the Japanese face a CJK collection offers first; a focus mark that can be
// seen at a glance (the theme's own is a faint dotted line, lost entirely on
// the coloured switches); read-only fields in the window's colour, as a field
// that takes no typing looks on every desktop.
constexpr const char* kStyle = R"css(
.ludexa-dialog, .ludexa-dialog * {
  font-family: "Noto Sans CJK SC", "WenQuanYi Micro Hei", "WenQuanYi Zen Hei", "Droid Sans Fallback",
               "AR PL UMing CN", sans-serif;
}
.ludexa-dialog button:focus {
  box-shadow: inset 0 0 0 2px rgb(28, 113, 216);
}
.ludexa-dialog scale:focus slider, .ludexa-dialog checkbutton:focus check,
.ludexa-dialog radiobutton:focus radio {
  border-color: rgb(28, 113, 216);
  box-shadow: 0 0 0 2px rgb(28, 113, 216);
}
.ludexa-dialog checkbutton:focus label, .ludexa-dialog radiobutton:focus label {
  color: rgb(28, 113, 216);
}
.ludexa-dialog scrolledwindow.ludexa-focused, .ludexa-dialog scrolledwindow.frame.ludexa-focused {
  border: 2px solid rgb(28, 113, 216);
}
.ludexa-dialog entry.ludexa-readonly, .ludexa-dialog entry.ludexa-readonly:focus {
  background-color: @theme_bg_color;
  background-image: none;
  color: alpha(@theme_fg_color, 0.8);
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
.ludexa-dialog button.ludexa-switch:focus, .ludexa-dialog button.ludexa-switch:checked:focus {
  border-color: rgb(28, 113, 216);
  box-shadow: 0 0 0 2px rgb(28, 113, 216), inset 0 0 0 1px white;
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

void styleAsDialog(GtkWidget* window) {
    installStyle();
    gtk_style_context_add_class(gtk_widget_get_style_context(window), "ludexa-dialog");
    // GTK shows the focus only after the first key press; a dialog opened with
    // the mouse and then used with the keyboard must show it from the start.
    if (GTK_IS_WINDOW(window)) gtk_window_set_focus_visible(GTK_WINDOW(window), TRUE);
}

GtkWidget* newDialog(const char* title, NativeWindow owner, int width, int height, Stacking stacking) {
    GtkWidget* dialog = gtk_dialog_new();
    gtk_window_set_title(GTK_WINDOW(dialog), title);
    gtk_window_set_default_size(GTK_WINDOW(dialog), width, height);
    gtk_window_set_type_hint(GTK_WINDOW(dialog), GDK_WINDOW_TYPE_HINT_DIALOG);
    gtk_window_set_skip_taskbar_hint(GTK_WINDOW(dialog), TRUE);
    // Transient for the launcher, a dialog stays above it; only the windows
    // meant to stay in sight while the user works elsewhere stay above all.
    gtk_window_set_keep_above(GTK_WINDOW(dialog), stacking == Stacking::AboveAll);
    styleAsDialog(dialog);
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

namespace {

bool isEnter(guint key) { return key == GDK_KEY_Return || key == GDK_KEY_KP_Enter || key == GDK_KEY_ISO_Enter; }

gboolean onDialogKey(GtkWidget* dialog, GdkEventKey* event, gpointer) {
    const int response = GPOINTER_TO_INT(g_object_get_data(G_OBJECT(dialog), "ludexa-enter-response"));
    const int cancel = GPOINTER_TO_INT(g_object_get_data(G_OBJECT(dialog), "ludexa-escape-response"));
    if (event->keyval == GDK_KEY_Escape) {
        gtk_dialog_response(GTK_DIALOG(dialog), cancel);
        return TRUE;
    }
    if (!isEnter(event->keyval) || (event->state & (GDK_CONTROL_MASK | GDK_MOD1_MASK)) != 0) return FALSE;
    GtkWidget* focus = gtk_window_get_focus(GTK_WINDOW(dialog));
    // A push button takes Enter itself (取消 stays 取消); a switch is a button
    // too, but Enter on it means the dialog's default, as Space toggles it.
    if (focus != nullptr && GTK_IS_BUTTON(focus) && !GTK_IS_TOGGLE_BUTTON(focus)) return FALSE;
    gtk_dialog_response(GTK_DIALOG(dialog), response);
    return TRUE;
}

}  // namespace

void enterAccepts(GtkWidget* dialog, int response, int cancel) {
    gtk_dialog_set_default_response(GTK_DIALOG(dialog), response);
    g_object_set_data(G_OBJECT(dialog), "ludexa-enter-response", GINT_TO_POINTER(response));
    g_object_set_data(G_OBJECT(dialog), "ludexa-escape-response", GINT_TO_POINTER(cancel));
    g_signal_connect(dialog, "key-press-event", G_CALLBACK(onDialogKey), nullptr);
}

void makeReadOnly(GtkWidget* entry) {
    gtk_editable_set_editable(GTK_EDITABLE(entry), FALSE);
    gtk_style_context_add_class(gtk_widget_get_style_context(entry), "ludexa-readonly");
}

namespace {

gboolean onFocusChange(GtkWidget*, GdkEventFocus* event, gpointer frame) {
    GtkStyleContext* style = gtk_widget_get_style_context(GTK_WIDGET(frame));
    if (event->in)
        gtk_style_context_add_class(style, "ludexa-focused");
    else
        gtk_style_context_remove_class(style, "ludexa-focused");
    return FALSE;
}

}  // namespace

void showFocusOn(GtkWidget* focusable, GtkWidget* frame) {
    g_signal_connect(focusable, "focus-in-event", G_CALLBACK(onFocusChange), frame);
    g_signal_connect(focusable, "focus-out-event", G_CALLBACK(onFocusChange), frame);
}

void focusWhenMapped(GtkWidget* window) { presentWhenMapped(window); }

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
