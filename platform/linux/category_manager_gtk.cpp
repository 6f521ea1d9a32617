// The category manager window ("管理分类") and its name input ("添加分类") in
// GTK; the list rules and the backups are the model's.
#include <string>

#include "platform/linux/native_gtk.h"
#include "platform/native_dialogs.h"

namespace ludexa {
namespace {

using namespace native_gtk;

struct ManagerWindow {
    CategoryManagerModel& model;
    GtkWidget* dialog = nullptr;
    GtkWidget* list = nullptr;
    GtkListStore* store = nullptr;  // owned by the list
    GtkWidget* overwrite = nullptr;
    GtkWidget* allowEmpty = nullptr;
    bool refreshing = false;
};

void refreshList(ManagerWindow& w) {
    w.refreshing = true;
    gtk_list_store_clear(w.store);
    for (const auto& name : w.model.entries()) {
        GtkTreeIter iter;
        gtk_list_store_append(w.store, &iter);
        gtk_list_store_set(w.store, &iter, 0, name.c_str(), -1);
    }
    GtkTreeSelection* selection = gtk_tree_view_get_selection(GTK_TREE_VIEW(w.list));
    GtkTreeIter iter;
    if (w.model.selection() >= 0 &&
        gtk_tree_model_iter_nth_child(GTK_TREE_MODEL(w.store), &iter, nullptr, w.model.selection())) {
        gtk_tree_selection_select_iter(selection, &iter);
        GtkTreePath* path = gtk_tree_model_get_path(GTK_TREE_MODEL(w.store), &iter);
        gtk_tree_view_scroll_to_cell(GTK_TREE_VIEW(w.list), path, nullptr, FALSE, 0, 0);
        gtk_tree_path_free(path);
    } else {
        gtk_tree_selection_unselect_all(selection);
    }
    w.refreshing = false;
}

void refreshChecks(ManagerWindow& w) {
    w.refreshing = true;
    gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(w.overwrite), w.model.overwrite());
    gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(w.allowEmpty), w.model.allowEmpty());
    gtk_widget_set_sensitive(w.allowEmpty, w.model.allowEmptyEnabled());
    w.refreshing = false;
}

void onSelectionChanged(GtkTreeSelection* selection, gpointer data) {
    auto& w = *static_cast<ManagerWindow*>(data);
    if (w.refreshing) return;
    GtkTreeModel* model = nullptr;
    GtkTreeIter iter;
    int index = -1;
    if (gtk_tree_selection_get_selected(selection, &model, &iter)) {
        GtkTreePath* path = gtk_tree_model_get_path(model, &iter);
        index = gtk_tree_path_get_indices(path)[0];
        gtk_tree_path_free(path);
    }
    w.model.select(index);
}

// The name input: "" when it was cancelled or left empty.
std::string askName(GtkWidget* manager) {
    WindowPtr input(gtk_dialog_new());
    GtkWindow* window = GTK_WINDOW(input.get());
    gtk_window_set_title(window, "添加分类");
    gtk_window_set_transient_for(window, GTK_WINDOW(manager));
    gtk_window_set_modal(window, TRUE);
    gtk_window_set_resizable(window, FALSE);
    gtk_window_set_keep_above(window, TRUE);
    gtk_window_set_position(window, GTK_WIN_POS_CENTER_ON_PARENT);
    styleAsDialog(input.get());
    centreOver(window, 0, GTK_WINDOW(manager), 290, 130);
    focusWhenMapped(input.get());

    GtkWidget* box = gtk_box_new(GTK_ORIENTATION_VERTICAL, 6);
    gtk_container_set_border_width(GTK_CONTAINER(box), 10);
    gtk_box_pack_start(GTK_BOX(box), leftLabel("请输入分类名称："), FALSE, FALSE, 0);
    GtkWidget* entry = gtk_entry_new();
    gtk_entry_set_width_chars(GTK_ENTRY(entry), 28);
    gtk_entry_set_activates_default(GTK_ENTRY(entry), TRUE);
    gtk_box_pack_start(GTK_BOX(box), entry, FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(gtk_dialog_get_content_area(GTK_DIALOG(input.get()))), box, TRUE, TRUE, 0);
    gtk_dialog_add_button(GTK_DIALOG(input.get()), "确定", GTK_RESPONSE_OK);
    gtk_dialog_add_button(GTK_DIALOG(input.get()), "取消", GTK_RESPONSE_CANCEL);
    gtk_dialog_set_default_response(GTK_DIALOG(input.get()), GTK_RESPONSE_OK);
    gtk_widget_show_all(input.get());
    gtk_widget_grab_focus(entry);

    std::string name;
    if (gtk_dialog_run(GTK_DIALOG(input.get())) == GTK_RESPONSE_OK) name = gtk_entry_get_text(GTK_ENTRY(entry));
    return name;
}

void onAdd(GtkButton*, gpointer data) {
    auto& w = *static_cast<ManagerWindow*>(data);
    const std::string name = askName(w.dialog);
    w.model.add(name, xidOf(w.dialog));
    refreshList(w);
    gtk_window_present(GTK_WINDOW(w.dialog));
}

void onRemove(GtkButton*, gpointer data) {
    auto& w = *static_cast<ManagerWindow*>(data);
    w.model.removeSelected();
    refreshList(w);
}

void onUp(GtkButton*, gpointer data) {
    auto& w = *static_cast<ManagerWindow*>(data);
    w.model.moveUp();
    refreshList(w);
}

void onDown(GtkButton*, gpointer data) {
    auto& w = *static_cast<ManagerWindow*>(data);
    w.model.moveDown();
    refreshList(w);
}

void onOverwriteToggled(GtkToggleButton* button, gpointer data) {
    auto& w = *static_cast<ManagerWindow*>(data);
    if (w.refreshing) return;
    w.model.setOverwrite(gtk_toggle_button_get_active(button));
    refreshChecks(w);
}

void onAllowEmptyToggled(GtkToggleButton* button, gpointer data) {
    auto& w = *static_cast<ManagerWindow*>(data);
    if (w.refreshing) return;
    w.model.setAllowEmpty(gtk_toggle_button_get_active(button));
    refreshChecks(w);
}

void onTransfer(GtkButton* button, gpointer data) {
    auto& w = *static_cast<ManagerWindow*>(data);
    w.model.transfer(GPOINTER_TO_INT(g_object_get_data(G_OBJECT(button), "transfer-id")), xidOf(w.dialog));
}

void onResponseButton(GtkButton* button, gpointer data) {
    gtk_dialog_response(GTK_DIALOG(data), GPOINTER_TO_INT(g_object_get_data(G_OBJECT(button), "response")));
}

GtkWidget* columnButton(GtkWidget* box, const char* label, GCallback handler, gpointer data) {
    GtkWidget* button = gtk_button_new_with_label(label);
    gtk_widget_set_size_request(button, 90, 28);
    g_signal_connect(button, "clicked", handler, data);
    gtk_box_pack_start(GTK_BOX(box), button, FALSE, FALSE, 0);
    return button;
}

}  // namespace

bool runCategoryManagerDialog(CategoryManagerModel& model, NativeWindow owner) {
    if (!initDialogs()) return false;
    ManagerWindow w{model};
    WindowPtr dialog(newDialog("管理分类", owner, 615, 300, Stacking::AboveAll));
    w.dialog = dialog.get();
    gtk_window_set_resizable(GTK_WINDOW(w.dialog), FALSE);

    GtkWidget* columns = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 10);
    gtk_container_set_border_width(GTK_CONTAINER(columns), 10);
    gtk_box_pack_start(GTK_BOX(gtk_dialog_get_content_area(GTK_DIALOG(w.dialog))), columns, TRUE, TRUE, 0);

    // The list and its buttons.
    ObjectPtr<GtkListStore> store(gtk_list_store_new(1, G_TYPE_STRING));
    w.store = store.get();
    w.list = gtk_tree_view_new_with_model(GTK_TREE_MODEL(store.get()));
    gtk_tree_view_set_headers_visible(GTK_TREE_VIEW(w.list), FALSE);
    gtk_tree_view_append_column(GTK_TREE_VIEW(w.list), gtk_tree_view_column_new_with_attributes(
                                                           "", gtk_cell_renderer_text_new(), "text", 0, nullptr));
    g_signal_connect(gtk_tree_view_get_selection(GTK_TREE_VIEW(w.list)), "changed", G_CALLBACK(onSelectionChanged), &w);
    GtkWidget* scroller = gtk_scrolled_window_new(nullptr, nullptr);
    gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(scroller), GTK_POLICY_NEVER, GTK_POLICY_AUTOMATIC);
    gtk_scrolled_window_set_shadow_type(GTK_SCROLLED_WINDOW(scroller), GTK_SHADOW_IN);
    gtk_widget_set_size_request(scroller, 200, 240);
    gtk_container_add(GTK_CONTAINER(scroller), w.list);
    gtk_box_pack_start(GTK_BOX(columns), scroller, FALSE, FALSE, 0);

    GtkWidget* buttons = gtk_box_new(GTK_ORIENTATION_VERTICAL, 8);
    columnButton(buttons, "添加...", G_CALLBACK(onAdd), &w);
    columnButton(buttons, "删除", G_CALLBACK(onRemove), &w);
    GtkWidget* up = columnButton(buttons, "↑ 上移", G_CALLBACK(onUp), &w);
    gtk_widget_set_margin_top(up, 18);
    columnButton(buttons, "↓ 下移", G_CALLBACK(onDown), &w);
    GtkWidget* ok = columnButton(buttons, "确定", G_CALLBACK(onResponseButton), w.dialog);
    g_object_set_data(G_OBJECT(ok), "response", GINT_TO_POINTER(GTK_RESPONSE_OK));
    gtk_widget_set_margin_top(ok, 30);
    GtkWidget* cancel = columnButton(buttons, "取消", G_CALLBACK(onResponseButton), w.dialog);
    g_object_set_data(G_OBJECT(cancel), "response", GINT_TO_POINTER(GTK_RESPONSE_CANCEL));
    gtk_box_pack_start(GTK_BOX(columns), buttons, FALSE, FALSE, 0);

    gtk_box_pack_start(GTK_BOX(columns), gtk_separator_new(GTK_ORIENTATION_VERTICAL), FALSE, FALSE, 0);

    // Backup and restore.
    GtkWidget* backup = gtk_box_new(GTK_ORIENTATION_VERTICAL, 8);
    GtkWidget* explanation = leftLabel(
        "在这里可以把数据库中所有游戏已添加的游戏分类或游戏存档目录备份到media目录，在需要时从media目录恢复。");
    gtk_label_set_line_wrap(GTK_LABEL(explanation), TRUE);
    gtk_label_set_max_width_chars(GTK_LABEL(explanation), 22);
    gtk_widget_set_size_request(explanation, 258, -1);
    gtk_box_pack_start(GTK_BOX(backup), explanation, FALSE, FALSE, 0);
    GtkWidget* checks = gtk_box_new(GTK_ORIENTATION_VERTICAL, 2);
    w.overwrite = gtk_check_button_new_with_label("覆盖原有内容");
    w.allowEmpty = gtk_check_button_new_with_label("允许空覆盖(请谨慎打开)");
    g_signal_connect(w.overwrite, "toggled", G_CALLBACK(onOverwriteToggled), &w);
    g_signal_connect(w.allowEmpty, "toggled", G_CALLBACK(onAllowEmptyToggled), &w);
    gtk_box_pack_start(GTK_BOX(checks), w.overwrite, FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(checks), w.allowEmpty, FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(backup), checks, FALSE, FALSE, 0);
    GtkWidget* grid = gtk_grid_new();
    gtk_grid_set_row_spacing(GTK_GRID(grid), 8);
    gtk_grid_set_column_spacing(GTK_GRID(grid), 10);
    gtk_widget_set_halign(grid, GTK_ALIGN_CENTER);
    const struct {
        const char* label;
        int id, column, row;
    } transfers[] = {{"备份分类", 2010, 0, 0}, {"备份存档目录", 2012, 1, 0}, {"还原分类", 2011, 0, 1}, {"还原存档目录", 2013, 1, 1}};
    for (const auto& t : transfers) {
        GtkWidget* button = gtk_button_new_with_label(t.label);
        gtk_widget_set_size_request(button, 100, 28);
        g_object_set_data(G_OBJECT(button), "transfer-id", GINT_TO_POINTER(t.id));
        g_signal_connect(button, "clicked", G_CALLBACK(onTransfer), &w);
        gtk_grid_attach(GTK_GRID(grid), button, t.column, t.row, 1, 1);
    }
    gtk_box_pack_start(GTK_BOX(backup), grid, FALSE, FALSE, 6);
    gtk_box_pack_start(GTK_BOX(columns), backup, TRUE, TRUE, 0);

    refreshList(w);
    refreshChecks(w);
    gtk_widget_show_all(w.dialog);

    // Escape closes the window like "取消".
    RepaintWhileModal repaint;
    const bool accepted = gtk_dialog_run(GTK_DIALOG(w.dialog)) == GTK_RESPONSE_OK;
    dialog.reset();
    finishModal(owner);
    return accepted;
}

}  // namespace ludexa
