// The game settings window ("游戏设置") in GTK: edit fields, the pickers, the
// size count and the category list; the rules are the model's.
#include <algorithm>
#include <cctype>
#include <string>

#include "platform/linux/counting_window_gtk.h"
#include "platform/linux/gtk_util.h"
#include "platform/linux/native_gtk.h"
#include "platform/native_dialogs.h"

namespace ludexa {
namespace {

using namespace native_gtk;

enum Column { kText, kMarked, kColumns };

struct GameSettingsWindow {
    GameSettingsDialogModel& model;
    GtkWidget* dialog = nullptr;
    GtkWidget* name = nullptr;
    GtkWidget* category = nullptr;
    GtkWidget* program = nullptr;
    GtkWidget* arguments = nullptr;
    GtkWidget* folder = nullptr;
    GtkWidget* saveDir = nullptr;
    GtkWidget* size = nullptr;
    GtkWidget* playTime = nullptr;
    GtkWidget* list = nullptr;
    GtkListStore* store = nullptr;  // owned by the list
    std::shared_ptr<CountingWindow> counting;
};

std::string entryText(GtkWidget* entry) { return gtk_entry_get_text(GTK_ENTRY(entry)); }

// Once a second: the play time of a game that runs while the dialog is open.
gboolean refreshPlayTime(gpointer data) {
    auto& w = *static_cast<GameSettingsWindow*>(data);
    w.model.refresh();
    const std::string text = w.model.playTimeText();
    if (text != entryText(w.playTime)) gtk_entry_set_text(GTK_ENTRY(w.playTime), text.c_str());
    return G_SOURCE_CONTINUE;
}

GtkWidget* addField(GtkWidget* grid, int row, const char* label, const std::string& text, bool editable,
                    int columnsWide) {
    gtk_grid_attach(GTK_GRID(grid), rightLabel(label, 90), 0, row, 1, 1);
    GtkWidget* entry = gtk_entry_new();
    gtk_entry_set_text(GTK_ENTRY(entry), text.c_str());
    if (!editable) makeReadOnly(entry);
    gtk_widget_set_can_focus(entry, TRUE);
    gtk_widget_set_hexpand(entry, TRUE);
    gtk_grid_attach(GTK_GRID(grid), entry, 1, row, columnsWide, 1);
    return entry;
}

// "可执行文件": Windows programs by extension as always, and what a Linux
// system starts: executables, scripts and desktop entries.
gboolean isProgram(const GtkFileFilterInfo* info, gpointer) {
    if (info->display_name != nullptr) {
        std::string name = info->display_name;
        std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        for (const char* ext : {".exe", ".bat", ".cmd"})
            if (name.size() >= 4 && name.compare(name.size() - 4, 4, ext) == 0) return TRUE;
    }
    if (info->mime_type != nullptr) {
        const std::string mime = info->mime_type;
        for (const char* type : {"application/x-executable", "application/x-pie-executable", "application/x-shellscript",
                                 "application/x-desktop", "application/x-ms-dos-executable"})
            if (mime == type) return TRUE;
    }
    return FALSE;
}

std::string runChooser(GtkWidget* parent, const char* title, GtkFileChooserAction action, const std::string& start) {
    WindowPtr chooser(gtk_file_chooser_dialog_new(title, GTK_WINDOW(parent), action, "取消", GTK_RESPONSE_CANCEL,
                                                  action == GTK_FILE_CHOOSER_ACTION_OPEN ? "打开" : "选择",
                                                  GTK_RESPONSE_ACCEPT, nullptr));
    styleAsDialog(chooser.get());
    gtk_file_chooser_set_local_only(GTK_FILE_CHOOSER(chooser.get()), TRUE);
    // The chooser sizes itself on mapping, larger than a small screen: ours wins.
    g_signal_connect_after(chooser.get(), "map", G_CALLBACK(+[](GtkWidget* w, gpointer) {
                               gtk_window_resize(GTK_WINDOW(w), 760, 520);
                               centreOver(GTK_WINDOW(w), 0, gtk_window_get_transient_for(GTK_WINDOW(w)), 760, 520);
                           }), nullptr);
    if (action == GTK_FILE_CHOOSER_ACTION_OPEN) {
        GtkFileFilter* programs = gtk_file_filter_new();
        gtk_file_filter_set_name(programs, "可执行文件");
        gtk_file_filter_add_custom(programs,
                                   static_cast<GtkFileFilterFlags>(GTK_FILE_FILTER_DISPLAY_NAME | GTK_FILE_FILTER_MIME_TYPE),
                                   isProgram, nullptr, nullptr);
        gtk_file_chooser_add_filter(GTK_FILE_CHOOSER(chooser.get()), programs);
        GtkFileFilter* all = gtk_file_filter_new();
        gtk_file_filter_set_name(all, "所有文件");
        gtk_file_filter_add_pattern(all, "*");
        gtk_file_chooser_add_filter(GTK_FILE_CHOOSER(chooser.get()), all);
    }
    startChooserIn(chooser.get(), title, start);
    focusWhenMapped(chooser.get());
    std::string chosen;
    if (gtk_dialog_run(GTK_DIALOG(chooser.get())) == GTK_RESPONSE_ACCEPT) {
        if (gchar* file = gtk_file_chooser_get_filename(GTK_FILE_CHOOSER(chooser.get()))) {
            chosen = file;
            g_free(file);
        }
    }
    rememberChosen(title, chosen);
    return chosen;
}

void fillList(GameSettingsWindow& w) {
    gtk_list_store_clear(w.store);
    for (const auto& item : w.model.categoryItems()) {
        GtkTreeIter iter;
        gtk_list_store_append(w.store, &iter);
        gtk_list_store_set(w.store, &iter, kText, item.text.c_str(), kMarked, item.marked ? TRUE : FALSE, -1);
    }
}

// A category of the game in dark red on pink, unless the row is selected.
void paintItem(GtkTreeViewColumn*, GtkCellRenderer* cell, GtkTreeModel* model, GtkTreeIter* iter, gpointer data) {
    auto* list = static_cast<GtkTreeView*>(data);
    gboolean marked = FALSE;
    gtk_tree_model_get(model, iter, kMarked, &marked, -1);
    const bool selected = gtk_tree_selection_iter_is_selected(gtk_tree_view_get_selection(list), iter);
    if (marked && !selected) {
        const GdkRGBA background{1.0, 220 / 255.0, 220 / 255.0, 1.0};
        const GdkRGBA foreground{180 / 255.0, 0.0, 0.0, 1.0};
        g_object_set(cell, "cell-background-rgba", &background, "foreground-rgba", &foreground, nullptr);
    } else {
        g_object_set(cell, "cell-background-set", FALSE, "foreground-set", FALSE, nullptr);
    }
}

void onRowActivated(GtkTreeView*, GtkTreePath* path, GtkTreeViewColumn*, gpointer data) {
    auto& w = *static_cast<GameSettingsWindow*>(data);
    const int index = gtk_tree_path_get_indices(path)[0];
    const std::string text = w.model.toggleCategory(index, entryText(w.category));
    gtk_entry_set_text(GTK_ENTRY(w.category), text.c_str());
    const auto items = w.model.categoryItems();
    GtkTreeIter iter;
    if (static_cast<std::size_t>(index) < items.size() &&
        gtk_tree_model_get_iter(GTK_TREE_MODEL(w.store), &iter, path)) {
        const auto& item = items[static_cast<std::size_t>(index)];
        gtk_list_store_set(w.store, &iter, kText, item.text.c_str(), kMarked, item.marked ? TRUE : FALSE, -1);
        gtk_tree_selection_select_iter(gtk_tree_view_get_selection(GTK_TREE_VIEW(w.list)), &iter);
    }
}

void onBrowseProgram(GtkButton*, gpointer data) {
    auto& w = *static_cast<GameSettingsWindow*>(data);
    const std::string program = runChooser(w.dialog, "打开", GTK_FILE_CHOOSER_ACTION_OPEN, entryText(w.program));
    if (program.empty()) return;
    gtk_entry_set_text(GTK_ENTRY(w.program), program.c_str());
    gtk_entry_set_text(GTK_ENTRY(w.folder), w.model.folderForProgram(program, entryText(w.folder)).c_str());
}

void onBrowseSaveDir(GtkButton*, gpointer data) {
    auto& w = *static_cast<GameSettingsWindow*>(data);
    const std::string folder = runChooser(w.dialog, "选择存档目录", GTK_FILE_CHOOSER_ACTION_SELECT_FOLDER, entryText(w.saveDir));
    if (!folder.empty()) gtk_entry_set_text(GTK_ENTRY(w.saveDir), folder.c_str());
}

void onCount(GtkButton*, gpointer data) {
    auto& w = *static_cast<GameSettingsWindow*>(data);
    const std::string folder =
        runChooser(w.dialog, "选择统计容量的目录", GTK_FILE_CHOOSER_ACTION_SELECT_FOLDER, entryText(w.folder));
    if (folder.empty()) return;
    if (w.counting) w.counting->close();
    w.counting = openCountingWindowOver(w.model.countFolder(folder), GTK_WINDOW(w.dialog), [&w] {
        gtk_entry_set_text(GTK_ENTRY(w.size), w.model.sizeText().c_str());
    });
}

// Enter and Escape mean nothing here: a stray key must not throw away or
// store a half-edited record.
gboolean onKeyPress(GtkWidget*, GdkEventKey* event, gpointer) {
    return event->keyval == GDK_KEY_Escape ? TRUE : FALSE;
}

}  // namespace

bool runGameSettingsDialog(GameSettingsDialogModel& model, NativeWindow owner) {
    if (!initDialogs()) return false;
    GameSettingsWindow w{model};
    WindowPtr dialog(newDialog("游戏设置", owner, 680, 440, Stacking::AboveAll));
    w.dialog = dialog.get();
    g_signal_connect(w.dialog, "key-press-event", G_CALLBACK(onKeyPress), nullptr);

    GtkWidget* columns = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 16);
    gtk_container_set_border_width(GTK_CONTAINER(columns), 12);
    gtk_box_pack_start(GTK_BOX(gtk_dialog_get_content_area(GTK_DIALOG(w.dialog))), columns, TRUE, TRUE, 0);

    GtkWidget* grid = gtk_grid_new();
    gtk_grid_set_row_spacing(GTK_GRID(grid), 6);
    gtk_grid_set_column_spacing(GTK_GRID(grid), 6);
    gtk_widget_set_size_request(grid, 430, -1);
    gtk_box_pack_start(GTK_BOX(columns), grid, TRUE, TRUE, 0);

    const GameSettingsTexts texts = model.initialTexts();
    w.name = addField(grid, 0, "游戏名称：", texts.name, true, 2);
    w.category = addField(grid, 1, "游戏分类：", texts.category, true, 2);
    w.program = addField(grid, 2, "启动程序：", texts.exe_path, true, 1);
    GtkWidget* browseProgram = gtk_button_new_with_label("浏览");
    gtk_grid_attach(GTK_GRID(grid), browseProgram, 2, 2, 1, 1);
    w.arguments = addField(grid, 3, "启动参数：", texts.launch_args, true, 2);
    w.folder = addField(grid, 4, "游戏目录：", texts.folder_path, false, 2);
    w.saveDir = addField(grid, 5, "存档目录：", texts.save_dir, true, 1);
    GtkWidget* browseSave = gtk_button_new_with_label("浏览");
    gtk_grid_attach(GTK_GRID(grid), browseSave, 2, 5, 1, 1);
    w.size = addField(grid, 6, "游戏容量：", model.sizeText(), false, 1);
    GtkWidget* count = gtk_button_new_with_label("统计...");
    gtk_grid_attach(GTK_GRID(grid), count, 2, 6, 1, 1);
    addField(grid, 7, "添加时间：", model.createdText(), false, 2);
    addField(grid, 8, "最后游玩：", model.lastPlayedText(), false, 2);
    w.playTime = addField(grid, 9, "游玩时长：", model.playTimeText(), false, 2);
    addField(grid, 10, "收藏状态：", model.favoriteText(), false, 2);
    g_signal_connect(browseProgram, "clicked", G_CALLBACK(onBrowseProgram), &w);
    g_signal_connect(browseSave, "clicked", G_CALLBACK(onBrowseSaveDir), &w);
    g_signal_connect(count, "clicked", G_CALLBACK(onCount), &w);

    GtkWidget* side = gtk_box_new(GTK_ORIENTATION_VERTICAL, 6);
    gtk_widget_set_size_request(side, 170, -1);
    GtkWidget* hint = leftLabel("一个游戏可以同时属于多个分类，双击添加/删除分类：");
    gtk_label_set_line_wrap(GTK_LABEL(hint), TRUE);
    gtk_label_set_max_width_chars(GTK_LABEL(hint), 12);
    gtk_box_pack_start(GTK_BOX(side), hint, FALSE, FALSE, 0);
    ObjectPtr<GtkListStore> store(gtk_list_store_new(kColumns, G_TYPE_STRING, G_TYPE_BOOLEAN));
    w.store = store.get();
    w.list = gtk_tree_view_new_with_model(GTK_TREE_MODEL(store.get()));
    gtk_tree_view_set_headers_visible(GTK_TREE_VIEW(w.list), FALSE);
    GtkCellRenderer* cell = gtk_cell_renderer_text_new();
    g_object_set(cell, "xpad", 4, "ypad", 2, nullptr);
    GtkTreeViewColumn* column = gtk_tree_view_column_new_with_attributes("", cell, "text", kText, nullptr);
    gtk_tree_view_column_set_cell_data_func(column, cell, paintItem, w.list, nullptr);
    gtk_tree_view_append_column(GTK_TREE_VIEW(w.list), column);
    g_signal_connect(w.list, "row-activated", G_CALLBACK(onRowActivated), &w);
    GtkWidget* scroller = gtk_scrolled_window_new(nullptr, nullptr);
    gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(scroller), GTK_POLICY_NEVER, GTK_POLICY_AUTOMATIC);
    gtk_scrolled_window_set_shadow_type(GTK_SCROLLED_WINDOW(scroller), GTK_SHADOW_IN);
    gtk_container_add(GTK_CONTAINER(scroller), w.list);
    gtk_box_pack_start(GTK_BOX(side), scroller, TRUE, TRUE, 0);
    gtk_box_pack_start(GTK_BOX(columns), side, FALSE, FALSE, 0);
    fillList(w);

    gtk_dialog_add_button(GTK_DIALOG(w.dialog), "确定", GTK_RESPONSE_OK);
    gtk_dialog_add_button(GTK_DIALOG(w.dialog), "取消", GTK_RESPONSE_CANCEL);
    gtk_widget_show_all(w.dialog);
    gtk_widget_grab_focus(w.name);

    bool saved = false;
    RepaintWhileModal repaint;
    const guint refresher = g_timeout_add(1000, refreshPlayTime, &w);
    while (gtk_dialog_run(GTK_DIALOG(w.dialog)) == GTK_RESPONSE_OK) {
        const GameSettingsTexts edited{entryText(w.name),   entryText(w.category), entryText(w.program),
                                       entryText(w.arguments), entryText(w.folder), entryText(w.saveDir)};
        if (model.accept(edited, xidOf(w.dialog))) {
            saved = true;
            break;
        }
        gtk_widget_grab_focus(w.name);
    }
    g_source_remove(refresher);
    // A count still running is dropped with the dialog.
    if (w.counting) w.counting->close();
    w.counting.reset();
    dialog.reset();
    finishModal(owner);
    return saved;
}

}  // namespace ludexa
