// The program settings window ("设置") in GTK: it shows a SettingsDialogModel
// and hands every click to it; the rules are the model's.
#include <map>
#include <string>

#include "platform/linux/native_gtk.h"
#include "platform/native_dialogs.h"

namespace ludexa {
namespace {

using namespace native_gtk;

struct SettingsWindow {
    SettingsDialogModel& model;
    GtkWidget* dialog = nullptr;
    GtkWidget* fontCombo = nullptr;
    GtkWidget* sizeValue = nullptr;
    GtkWidget* frameRateEntry = nullptr;
    std::map<int, GtkWidget*> switches;
    bool refreshing = false;  // our own updates of the widgets are not user actions
};

void refreshSwitches(SettingsWindow& w) {
    w.refreshing = true;
    for (const auto& [id, button] : w.switches) {
        gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(button), w.model.switchOn(id));
        gtk_widget_set_sensitive(button, w.model.switchEnabled(id));
    }
    w.refreshing = false;
}

void fillFonts(SettingsWindow& w) {
    w.refreshing = true;
    gtk_combo_box_text_remove_all(GTK_COMBO_BOX_TEXT(w.fontCombo));
    for (const auto& name : w.model.fontNames())
        gtk_combo_box_text_append_text(GTK_COMBO_BOX_TEXT(w.fontCombo), name.c_str());
    gtk_combo_box_set_active(GTK_COMBO_BOX(w.fontCombo), w.model.selectedFont());
    w.refreshing = false;
}

void onSwitchToggled(GtkToggleButton* button, gpointer data) {
    auto& w = *static_cast<SettingsWindow*>(data);
    if (w.refreshing) return;
    const int id = GPOINTER_TO_INT(g_object_get_data(G_OBJECT(button), "switch-id"));
    w.model.clickSwitch(id);
    refreshSwitches(w);
    if (id >= settings_switch::kFrameRates && id < settings_switch::kFrameRates + 6)
        gtk_entry_set_text(GTK_ENTRY(w.frameRateEntry), w.model.frameRateText().c_str());
}

void onFontChanged(GtkComboBox* combo, gpointer data) {
    auto& w = *static_cast<SettingsWindow*>(data);
    if (!w.refreshing) w.model.selectFont(gtk_combo_box_get_active(combo));
}

void onSizeChanged(GtkRange* range, gpointer data) {
    auto& w = *static_cast<SettingsWindow*>(data);
    w.model.setFontSize(static_cast<int>(gtk_range_get_value(range) + 0.5));
    gtk_label_set_text(GTK_LABEL(w.sizeValue), std::to_string(w.model.fontSize()).c_str());
}

void onRestoreDefault(GtkButton*, gpointer data) {
    auto& w = *static_cast<SettingsWindow*>(data);
    w.model.restoreDefaultFont();
    fillFonts(w);
}

void onSearchFonts(GtkButton*, gpointer data) {
    auto& w = *static_cast<SettingsWindow*>(data);
    w.model.searchSystemFonts(xidOf(w.dialog));
    fillFonts(w);
}

// The frame-rate field takes digits only, as typed or pasted.
void onFrameRateInsert(GtkEditable* editable, const gchar* text, gint length, gint*, gpointer) {
    const std::string inserted = length < 0 ? std::string(text) : std::string(text, static_cast<std::size_t>(length));
    for (char c : inserted)
        if (c < '0' || c > '9') {
            g_signal_stop_emission_by_name(editable, "insert-text");
            return;
        }
}

GtkWidget* row(int spacing = 8) { return gtk_box_new(GTK_ORIENTATION_HORIZONTAL, spacing); }

void addSwitch(SettingsWindow& w, GtkWidget* box, int id, const char* label, int width) {
    GtkWidget* button = switchButton(label, width, 26);
    g_object_set_data(G_OBJECT(button), "switch-id", GINT_TO_POINTER(id));
    g_signal_connect(button, "toggled", G_CALLBACK(onSwitchToggled), &w);
    gtk_box_pack_start(GTK_BOX(box), button, FALSE, FALSE, 0);
    w.switches[id] = button;
}

GtkWidget* separator() { return gtk_separator_new(GTK_ORIENTATION_HORIZONTAL); }

}  // namespace

bool runSettingsDialog(SettingsDialogModel& model, NativeWindow owner) {
    if (!initDialogs()) return false;
    using namespace settings_switch;
    SettingsWindow w{model};
    WindowPtr dialog(newDialog("设置", owner, 560, 600));
    w.dialog = dialog.get();
    gtk_window_set_resizable(GTK_WINDOW(w.dialog), FALSE);

    GtkWidget* content = gtk_box_new(GTK_ORIENTATION_VERTICAL, 8);
    gtk_container_set_border_width(GTK_CONTAINER(content), 16);
    gtk_box_pack_start(GTK_BOX(gtk_dialog_get_content_area(GTK_DIALOG(w.dialog))), content, TRUE, TRUE, 0);

    // Font and size.
    gtk_box_pack_start(GTK_BOX(content), leftLabel("设置程序字体和大小"), FALSE, FALSE, 0);
    GtkWidget* fontRow = row();
    gtk_box_pack_start(GTK_BOX(fontRow), rightLabel("选择字体:", 80), FALSE, FALSE, 0);
    w.fontCombo = gtk_combo_box_text_new();
    gtk_widget_set_size_request(w.fontCombo, 260, -1);
    g_signal_connect(w.fontCombo, "changed", G_CALLBACK(onFontChanged), &w);
    gtk_box_pack_start(GTK_BOX(fontRow), w.fontCombo, FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(content), fontRow, FALSE, FALSE, 0);

    GtkWidget* sizeRow = row();
    gtk_box_pack_start(GTK_BOX(sizeRow), rightLabel("字体大小:", 80), FALSE, FALSE, 0);
    GtkWidget* scale = gtk_scale_new_with_range(GTK_ORIENTATION_HORIZONTAL, 10, 24, 1);
    gtk_scale_set_draw_value(GTK_SCALE(scale), FALSE);
    for (int mark = 10; mark <= 24; mark += 2) gtk_scale_add_mark(GTK_SCALE(scale), mark, GTK_POS_BOTTOM, nullptr);
    gtk_range_set_value(GTK_RANGE(scale), model.fontSize());
    gtk_widget_set_size_request(scale, 200, -1);
    gtk_box_pack_start(GTK_BOX(sizeRow), scale, FALSE, FALSE, 0);
    w.sizeValue = gtk_label_new(std::to_string(model.fontSize()).c_str());
    gtk_widget_set_size_request(w.sizeValue, 30, -1);
    gtk_box_pack_start(GTK_BOX(sizeRow), w.sizeValue, FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(sizeRow), leftLabel("(10-24)"), FALSE, FALSE, 0);
    g_signal_connect(scale, "value-changed", G_CALLBACK(onSizeChanged), &w);
    gtk_box_pack_start(GTK_BOX(content), sizeRow, FALSE, FALSE, 0);

    GtkWidget* fontButtons = row();
    gtk_widget_set_margin_start(fontButtons, 88);
    GtkWidget* restore = gtk_button_new_with_label("恢复默认");
    GtkWidget* search = gtk_button_new_with_label("搜索系统字体");
    g_signal_connect(restore, "clicked", G_CALLBACK(onRestoreDefault), &w);
    g_signal_connect(search, "clicked", G_CALLBACK(onSearchFonts), &w);
    gtk_box_pack_start(GTK_BOX(fontButtons), restore, FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(fontButtons), search, FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(content), fontButtons, FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(content), separator(), FALSE, FALSE, 4);

    // Picture formats.
    gtk_box_pack_start(GTK_BOX(content), leftLabel("设置图片/动画格式"), FALSE, FALSE, 0);
    GtkWidget* formats = row();
    const char* formatNames[] = {"jpg", "png", "bmp", "webp", "avif", "gif"};
    const int formatWidths[] = {62, 62, 62, 70, 70, 62};
    for (int i = 0; i < 6; ++i) addSwitch(w, formats, kFormats + i, formatNames[i], formatWidths[i]);
    gtk_box_pack_start(GTK_BOX(content), formats, FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(content), separator(), FALSE, FALSE, 4);

    // Sleep.
    gtk_box_pack_start(GTK_BOX(content), leftLabel("休眠设置："), FALSE, FALSE, 0);
    GtkWidget* sleep = row(15);
    addSwitch(w, sleep, kAutoSleep, "一分钟自动休眠", 130);
    addSwitch(w, sleep, kSleepOnLaunch, "启动游戏后休眠", 130);
    gtk_box_pack_start(GTK_BOX(content), sleep, FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(content), separator(), FALSE, FALSE, 4);

    // Gamepad layout.
    gtk_box_pack_start(GTK_BOX(content), leftLabel("手柄模式："), FALSE, FALSE, 0);
    GtkWidget* pads = row();
    const char* padNames[] = {"Xbox", "Switch", "PS", "其它"};
    const int padWidths[] = {60, 65, 50, 60};
    for (int i = 0; i < 4; ++i) addSwitch(w, pads, kGamepad + i, padNames[i], padWidths[i]);
    gtk_box_pack_start(GTK_BOX(content), pads, FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(content), separator(), FALSE, FALSE, 4);

    // Frame rate.
    gtk_box_pack_start(GTK_BOX(content), leftLabel("设置程序刷新率："), FALSE, FALSE, 0);
    GtkWidget* note = leftLabel("（注意：这里设置的只是本程序的刷新率，默认30，调过高会浪费资源）");
    gtk_label_set_line_wrap(GTK_LABEL(note), TRUE);
    gtk_label_set_max_width_chars(GTK_LABEL(note), 40);
    gtk_box_pack_start(GTK_BOX(content), note, FALSE, FALSE, 0);
    GtkWidget* rates = row(6);
    const char* rateNames[] = {"15", "30", "60", "120", "200", "240"};
    for (int i = 0; i < 6; ++i) addSwitch(w, rates, kFrameRates + i, rateNames[i], 46);
    addSwitch(w, rates, kCustomFrameRate, "自定(15-500):", 96);
    w.frameRateEntry = gtk_entry_new();
    gtk_entry_set_max_length(GTK_ENTRY(w.frameRateEntry), 15);
    gtk_entry_set_width_chars(GTK_ENTRY(w.frameRateEntry), 5);
    gtk_entry_set_alignment(GTK_ENTRY(w.frameRateEntry), 0.5f);
    gtk_entry_set_input_purpose(GTK_ENTRY(w.frameRateEntry), GTK_INPUT_PURPOSE_DIGITS);
    gtk_entry_set_text(GTK_ENTRY(w.frameRateEntry), model.frameRateText().c_str());
    g_signal_connect(w.frameRateEntry, "insert-text", G_CALLBACK(onFrameRateInsert), nullptr);
    gtk_box_pack_start(GTK_BOX(rates), w.frameRateEntry, FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(content), rates, FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(content), separator(), FALSE, FALSE, 4);

    gtk_dialog_add_button(GTK_DIALOG(w.dialog), "确定", GTK_RESPONSE_OK);
    gtk_dialog_add_button(GTK_DIALOG(w.dialog), "取消", GTK_RESPONSE_CANCEL);
    // Enter is 确定 and Escape 取消 wherever the focus is, the frame-rate
    // field included.
    enterAccepts(w.dialog, GTK_RESPONSE_OK, GTK_RESPONSE_CANCEL);

    fillFonts(w);
    refreshSwitches(w);
    gtk_widget_show_all(w.dialog);

    bool accepted = false;
    RepaintWhileModal repaint;
    while (gtk_dialog_run(GTK_DIALOG(w.dialog)) == GTK_RESPONSE_OK) {
        const std::string rate = gtk_entry_get_text(GTK_ENTRY(w.frameRateEntry));
        if (model.accept(rate, xidOf(w.dialog))) {
            accepted = true;
            break;
        }
        gtk_widget_grab_focus(w.frameRateEntry);
    }
    dialog.reset();
    finishModal(owner);
    return accepted;
}

}  // namespace ludexa
