// The folder chooser and the waiting pop-up that an import shows while its
// worker scans: GTK windows made transient for the SFML window.
#include <gdk/gdkx.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

#include "platform/dialogs.h"
#include "platform/linux/gtk_util.h"

namespace ludexa {
namespace {

constexpr int kPopupWidth = 360;
constexpr int kPopupHeight = 80;

ChooseFolderHook& folderHook() {
    static ChooseFolderHook h;
    return h;
}

struct GFreeDeleter {
    void operator()(gpointer p) const { g_free(p); }
};

// Dark background with light text; the text line sits 22 pixels down.
constexpr const char* kPopupCss =
    "window { background-color: rgb(40, 40, 45); }\n"
    "label { color: rgb(235, 235, 240); }\n";

void styleWidget(GtkWidget* widget, GtkCssProvider* css) {
    gtk_style_context_add_provider(gtk_widget_get_style_context(widget), GTK_STYLE_PROVIDER(css),
                                   GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
}

// Centres the pop-up on the owner window; without an owner it goes to the
// middle of the screen.
void placePopup(GtkWindow* popup, NativeWindow owner) {
    GdkDisplay* display = gdk_display_get_default();
    if (owner != 0 && GDK_IS_X11_DISPLAY(display)) {
        GdkWindow* foreign = gdk_x11_window_foreign_new_for_display(display, owner);
        if (foreign != nullptr) {
            int x = 0, y = 0;
            gdk_window_get_origin(foreign, &x, &y);
            const int width = gdk_window_get_width(foreign);
            const int height = gdk_window_get_height(foreign);
            g_object_unref(foreign);
            gtk_window_move(popup, x + (width - kPopupWidth) / 2, y + (height - kPopupHeight) / 2);
            return;
        }
    }
    gtk_window_set_position(popup, GTK_WIN_POS_CENTER);
}

}  // namespace

void setChooseFolderHook(ChooseFolderHook h) { folderHook() = std::move(h); }

std::optional<std::string> chooseFolder(const std::string& title, NativeWindow owner) {
    if (folderHook()) return folderHook()(title);
    if (!initDialogs()) return std::nullopt;
    GtkWidget* dialog = gtk_file_chooser_dialog_new(title.c_str(), nullptr, GTK_FILE_CHOOSER_ACTION_SELECT_FOLDER,
                                                    "取消", GTK_RESPONSE_CANCEL, "确定", GTK_RESPONSE_ACCEPT, nullptr);
    gtk_dialog_set_default_response(GTK_DIALOG(dialog), GTK_RESPONSE_ACCEPT);
    gtk_file_chooser_set_local_only(GTK_FILE_CHOOSER(dialog), TRUE);
    gtk_file_chooser_set_create_folders(GTK_FILE_CHOOSER(dialog), TRUE);
    gtk_window_set_position(GTK_WINDOW(dialog), GTK_WIN_POS_CENTER);
    gtk_window_set_keep_above(GTK_WINDOW(dialog), TRUE);
    startChooserIn(dialog, title);
    makeTransientFor(dialog, owner);
    std::optional<std::string> chosen;
    if (gtk_dialog_run(GTK_DIALOG(dialog)) == GTK_RESPONSE_ACCEPT) {
        std::unique_ptr<gchar, GFreeDeleter> path(gtk_file_chooser_get_filename(GTK_FILE_CHOOSER(dialog)));
        if (path) chosen = std::string(path.get());
    }
    if (chosen) rememberChosen(title, *chosen);
    gtk_widget_destroy(dialog);
    drainGtkEvents();
    return chosen;
}

void runWithWaitingPopup(const std::string& text, NativeWindow owner, const std::function<void()>& work) {
    std::atomic<bool> finished{false};
    auto body = [&] {
        // An exception must not end the program from a worker thread; the
        // work reports its own failures through what it leaves behind.
        try {
            work();
        } catch (...) {
        }
        finished.store(true);
    };
    if (!initDialogs()) {
        std::thread(body).join();
        return;
    }

    GtkWidget* popup = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    GtkWindow* window = GTK_WINDOW(popup);
    gtk_window_set_decorated(window, FALSE);
    gtk_window_set_resizable(window, FALSE);
    gtk_window_set_type_hint(window, GDK_WINDOW_TYPE_HINT_SPLASHSCREEN);
    gtk_window_set_skip_taskbar_hint(window, TRUE);
    gtk_window_set_skip_pager_hint(window, TRUE);
    gtk_window_set_keep_above(window, TRUE);
    gtk_window_set_accept_focus(window, FALSE);
    gtk_window_set_default_size(window, kPopupWidth, kPopupHeight);
    gtk_widget_set_size_request(popup, kPopupWidth, kPopupHeight);

    GtkCssProvider* css = gtk_css_provider_new();
    gtk_css_provider_load_from_data(css, kPopupCss, -1, nullptr);
    styleWidget(popup, css);
    GtkWidget* layout = gtk_fixed_new();
    GtkWidget* label = gtk_label_new(text.c_str());
    styleWidget(label, css);
    g_object_unref(css);
    gtk_label_set_justify(GTK_LABEL(label), GTK_JUSTIFY_CENTER);
    gtk_widget_set_size_request(label, kPopupWidth, 36);
    gtk_fixed_put(GTK_FIXED(layout), label, 0, 22);
    gtk_container_add(GTK_CONTAINER(popup), layout);

    makeTransientFor(popup, owner);
    placePopup(window, owner);
    gtk_widget_show_all(popup);
    drainGtkEvents();
    gdk_display_flush(gdk_display_get_default());

    std::thread worker(body);
    // Only the pop-up's own events are handled meanwhile, so it stays drawn
    // while the main window waits.
    while (!finished.load()) {
        drainGtkEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    worker.join();
    gtk_widget_destroy(popup);
    drainGtkEvents();
}

}  // namespace ludexa
