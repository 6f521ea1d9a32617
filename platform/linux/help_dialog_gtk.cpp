// The help window ("帮助") in GTK: the heading, the usage guide on the left and
// the gamepad table on the right, both read-only but selectable.
#include "platform/linux/native_gtk.h"
#include "platform/native_dialogs.h"

namespace ludexa {
namespace {

using namespace native_gtk;

// A caption above a read-only pane of text.
GtkWidget* pane(const std::string& caption, const std::string& text, int width, int height) {
    GtkWidget* box = gtk_box_new(GTK_ORIENTATION_VERTICAL, 4);
    gtk_box_pack_start(GTK_BOX(box), gtk_label_new(caption.c_str()), FALSE, FALSE, 0);
    GtkWidget* view = gtk_text_view_new();
    gtk_text_view_set_editable(GTK_TEXT_VIEW(view), FALSE);
    // A caret, as in any read-only field: the keyboard selects text with it.
    gtk_text_view_set_cursor_visible(GTK_TEXT_VIEW(view), TRUE);
    gtk_text_view_set_wrap_mode(GTK_TEXT_VIEW(view), GTK_WRAP_WORD_CHAR);
    gtk_text_view_set_left_margin(GTK_TEXT_VIEW(view), 6);
    gtk_text_view_set_right_margin(GTK_TEXT_VIEW(view), 6);
    gtk_text_view_set_top_margin(GTK_TEXT_VIEW(view), 4);
    gtk_text_buffer_set_text(gtk_text_view_get_buffer(GTK_TEXT_VIEW(view)), text.c_str(), -1);
    GtkWidget* scroller = gtk_scrolled_window_new(nullptr, nullptr);
    gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(scroller), GTK_POLICY_NEVER, GTK_POLICY_AUTOMATIC);
    gtk_scrolled_window_set_shadow_type(GTK_SCROLLED_WINDOW(scroller), GTK_SHADOW_IN);
    gtk_widget_set_size_request(scroller, width, height);
    gtk_container_add(GTK_CONTAINER(scroller), view);
    showFocusOn(view, scroller);
    gtk_box_pack_start(GTK_BOX(box), scroller, TRUE, TRUE, 0);
    return box;
}

}  // namespace

void runHelpDialog(const HelpContent& content, NativeWindow owner) {
    if (!initDialogs()) return;
    constexpr int kWidth = 1060, kHeight = 620;
    WindowPtr dialog(newDialog("帮助", owner, kWidth, kHeight));

    GtkWidget* box = gtk_box_new(GTK_ORIENTATION_VERTICAL, 8);
    gtk_container_set_border_width(GTK_CONTAINER(box), 16);
    gtk_box_pack_start(GTK_BOX(gtk_dialog_get_content_area(GTK_DIALOG(dialog.get()))), box, TRUE, TRUE, 0);
    GtkWidget* heading = gtk_label_new(content.heading.c_str());
    gtk_label_set_line_wrap(GTK_LABEL(heading), TRUE);
    gtk_label_set_justify(GTK_LABEL(heading), GTK_JUSTIFY_CENTER);
    gtk_widget_set_size_request(heading, -1, 32);
    gtk_box_pack_start(GTK_BOX(box), heading, FALSE, FALSE, 0);

    // The guide takes three fifths of the width, the table the rest.
    const int inner = kWidth - 44;
    const int left = inner * 60 / 100;
    const int paneHeight = kHeight - 146 - 40;
    GtkWidget* panes = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 12);
    gtk_box_pack_start(GTK_BOX(panes), pane(content.guideCaption, content.guide, left, paneHeight), TRUE, TRUE, 0);
    gtk_box_pack_start(GTK_BOX(panes), pane(content.gamepadCaption, content.gamepad, inner - left, paneHeight), TRUE,
                       TRUE, 0);
    gtk_box_pack_start(GTK_BOX(box), panes, TRUE, TRUE, 0);

    GtkWidget* ok = gtk_button_new_with_label("确定");
    gtk_widget_set_size_request(ok, 100, 32);
    gtk_widget_set_halign(ok, GTK_ALIGN_CENTER);
    gtk_widget_set_can_default(ok, TRUE);
    gtk_dialog_add_action_widget(GTK_DIALOG(dialog.get()), ok, GTK_RESPONSE_OK);
    gtk_widget_set_halign(gtk_widget_get_parent(ok), GTK_ALIGN_CENTER);
    gtk_widget_show_all(dialog.get());
    gtk_widget_grab_default(ok);
    gtk_widget_grab_focus(ok);

    // Enter (the focused default button), Escape and the close box all end it.
    RepaintWhileModal repaint;
    (void)gtk_dialog_run(GTK_DIALOG(dialog.get()));
    dialog.reset();
    finishModal(owner);
}

}  // namespace ludexa
