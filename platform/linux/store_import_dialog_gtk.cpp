// The "导入游戏平台" window in GTK: a line of text, a check box per store
// found, and 确定 / 取消.
#include "platform/linux/native_gtk.h"
#include "platform/native_dialogs.h"

namespace ludexa {
namespace {

using namespace native_gtk;

// Enter would toggle a focused check box; here it means 确定 wherever the
// focus is, as Escape means 取消.
gboolean onKeyPress(GtkWidget* dialog, GdkEventKey* event, gpointer) {
    switch (event->keyval) {
        case GDK_KEY_Return:
        case GDK_KEY_KP_Enter:
        case GDK_KEY_ISO_Enter: gtk_dialog_response(GTK_DIALOG(dialog), GTK_RESPONSE_OK); return TRUE;
        case GDK_KEY_Escape: gtk_dialog_response(GTK_DIALOG(dialog), GTK_RESPONSE_CANCEL); return TRUE;
        default: return FALSE;
    }
}

GtkWidget* button(GtkWidget* dialog, const char* label, int response) {
    GtkWidget* b = gtk_button_new_with_label(label);
    gtk_widget_set_size_request(b, 80, 30);
    gtk_dialog_add_action_widget(GTK_DIALOG(dialog), b, response);
    return b;
}

}  // namespace

std::optional<std::vector<bool>> runStoreImportDialog(const std::vector<StoreChoice>& stores, NativeWindow owner) {
    if (!initDialogs()) return std::nullopt;
    constexpr int kWidth = 460;
    const int height = stores.empty() ? 150 : 130 + 34 * static_cast<int>(stores.size());
    WindowPtr dialog(newDialog("导入游戏平台", owner, kWidth, height));
    gtk_window_set_resizable(GTK_WINDOW(dialog.get()), FALSE);

    GtkWidget* box = gtk_box_new(GTK_ORIENTATION_VERTICAL, 10);
    gtk_container_set_border_width(GTK_CONTAINER(box), 18);
    gtk_box_pack_start(GTK_BOX(gtk_dialog_get_content_area(GTK_DIALOG(dialog.get()))), box, TRUE, TRUE, 0);
    GtkWidget* intro = leftLabel(stores.empty() ? "未找到已安装的游戏平台（Steam、Lutris、Heroic）或应用菜单。"
                                                : "选择要导入已安装游戏的平台：");
    gtk_label_set_line_wrap(GTK_LABEL(intro), TRUE);
    gtk_box_pack_start(GTK_BOX(box), intro, FALSE, FALSE, 0);

    std::vector<GtkWidget*> boxes;
    for (const auto& store : stores) {
        GtkWidget* check = gtk_check_button_new_with_label(store.label.c_str());
        // A reason why a store could not be read may not fit on one line.
        if (GtkWidget* text = gtk_bin_get_child(GTK_BIN(check)); GTK_IS_LABEL(text)) {
            gtk_label_set_line_wrap(GTK_LABEL(text), TRUE);
            gtk_label_set_max_width_chars(GTK_LABEL(text), 34);
        }
        gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(check), TRUE);
        gtk_widget_set_margin_start(check, 12);
        gtk_box_pack_start(GTK_BOX(box), check, FALSE, FALSE, 0);
        boxes.push_back(check);
    }

    GtkWidget* ok = button(dialog.get(), "确定", GTK_RESPONSE_OK);
    if (!stores.empty()) button(dialog.get(), "取消", GTK_RESPONSE_CANCEL);
    gtk_widget_set_halign(gtk_widget_get_parent(ok), GTK_ALIGN_END);
    gtk_widget_set_margin_end(gtk_widget_get_parent(ok), 10);
    gtk_widget_set_margin_bottom(gtk_widget_get_parent(ok), 10);
    gtk_widget_set_can_default(ok, TRUE);
    g_signal_connect(dialog.get(), "key-press-event", G_CALLBACK(onKeyPress), nullptr);
    gtk_widget_show_all(dialog.get());
    gtk_widget_grab_default(ok);
    gtk_widget_grab_focus(ok);

    RepaintWhileModal repaint;
    const gint response = gtk_dialog_run(GTK_DIALOG(dialog.get()));
    std::optional<std::vector<bool>> chosen;
    if (response == GTK_RESPONSE_OK && !stores.empty()) {
        chosen.emplace();
        for (GtkWidget* check : boxes) chosen->push_back(gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(check)) != FALSE);
    }
    dialog.reset();
    finishModal(owner);
    return chosen;
}

}  // namespace ludexa
