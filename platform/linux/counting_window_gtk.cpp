// The size-counting window ("统计游戏容量"): a small GTK window that says it is
// counting, asks its model for the result every 50 ms, then shows the total
// and a "确定" button. It has no loop of its own: over the main window the main
// loop pumps it, over the game settings dialog that dialog's loop does.
#include "platform/linux/counting_window_gtk.h"

#include "platform/linux/gtk_util.h"
#include "platform/linux/native_gtk.h"
#include "platform/window.h"

namespace ludexa {
namespace {

using namespace native_gtk;

int g_openCountingWindows = 0;

class CountingWindowGtk final : public CountingWindow {
public:
    CountingWindowGtk(std::shared_ptr<CountingWindowModel> model, NativeWindow owner, GtkWindow* parent,
                      std::function<void()> afterResult)
        : model_(std::move(model)), owner_(owner), afterResult_(std::move(afterResult)) {
        window_ = gtk_window_new(GTK_WINDOW_TOPLEVEL);
        gtk_window_set_title(GTK_WINDOW(window_), "统计游戏容量");
        gtk_window_set_default_size(GTK_WINDOW(window_), 300, 160);
        gtk_window_set_resizable(GTK_WINDOW(window_), FALSE);
        gtk_window_set_type_hint(GTK_WINDOW(window_), GDK_WINDOW_TYPE_HINT_DIALOG);
        gtk_window_set_skip_taskbar_hint(GTK_WINDOW(window_), TRUE);
        // Above every program while it counts, like the game settings window
        // it may be opened from; transient for its owner besides.
        gtk_window_set_keep_above(GTK_WINDOW(window_), TRUE);
        styleAsDialog(window_);
        if (parent != nullptr) {
            gtk_window_set_transient_for(GTK_WINDOW(window_), parent);
            gtk_window_set_destroy_with_parent(GTK_WINDOW(window_), TRUE);
            gtk_window_set_modal(GTK_WINDOW(window_), TRUE);
        } else {
            makeTransientFor(window_, owner);
        }
        centreOver(GTK_WINDOW(window_), owner, parent, 300, 160);
        focusWhenMapped(window_);

        GtkWidget* box = gtk_box_new(GTK_ORIENTATION_VERTICAL, 16);
        gtk_container_set_border_width(GTK_CONTAINER(box), 20);
        label_ = gtk_label_new("正在统计，请稍候...");
        gtk_label_set_justify(GTK_LABEL(label_), GTK_JUSTIFY_CENTER);
        // A total that could not be stored says why under it, wrapped to the
        // window's width rather than widening it.
        gtk_label_set_line_wrap(GTK_LABEL(label_), TRUE);
        gtk_label_set_max_width_chars(GTK_LABEL(label_), 20);
        gtk_box_pack_start(GTK_BOX(box), label_, TRUE, TRUE, 0);
        button_ = gtk_button_new_with_label("确定");
        gtk_widget_set_size_request(button_, 80, 30);
        gtk_widget_set_halign(button_, GTK_ALIGN_CENTER);
        gtk_widget_set_no_show_all(button_, TRUE);
        gtk_box_pack_start(GTK_BOX(box), button_, FALSE, FALSE, 0);
        gtk_container_add(GTK_CONTAINER(window_), box);

        g_signal_connect(button_, "clicked", G_CALLBACK(onOk), this);
        g_signal_connect(window_, "destroy", G_CALLBACK(onDestroy), this);
        timer_ = g_timeout_add(50, onTimer, this);
        ++g_openCountingWindows;
        gtk_widget_show_all(window_);
    }

    ~CountingWindowGtk() override { close(); }

    bool isOpen() const override { return window_ != nullptr; }

    void close() override {
        if (window_ != nullptr) gtk_widget_destroy(window_);  // onDestroy does the rest
    }

private:
    static void onOk(GtkButton*, gpointer self) { static_cast<CountingWindowGtk*>(self)->close(); }

    static void onDestroy(GtkWidget*, gpointer data) {
        auto* self = static_cast<CountingWindowGtk*>(data);
        if (self->timer_ != 0) g_source_remove(self->timer_);
        self->timer_ = 0;
        self->window_ = nullptr;
        --g_openCountingWindows;
        // Whatever the worker still delivers is dropped from now on.
        self->model_->closed();
        if (self->owner_ != 0) activateWindow(self->owner_);
    }

    static gboolean onTimer(gpointer data) {
        auto* self = static_cast<CountingWindowGtk*>(data);
        const auto text = self->model_->poll();
        if (!text) return G_SOURCE_CONTINUE;
        gtk_label_set_text(GTK_LABEL(self->label_), text->c_str());
        gtk_widget_show(self->button_);
        gtk_widget_grab_focus(self->button_);
        self->timer_ = 0;
        if (self->afterResult_) self->afterResult_();
        return G_SOURCE_REMOVE;
    }

    std::shared_ptr<CountingWindowModel> model_;
    NativeWindow owner_ = 0;
    std::function<void()> afterResult_;
    GtkWidget* window_ = nullptr;
    GtkWidget* label_ = nullptr;
    GtkWidget* button_ = nullptr;
    guint timer_ = 0;
};

}  // namespace

std::shared_ptr<CountingWindow> openCountingWindow(std::shared_ptr<CountingWindowModel> model, NativeWindow owner) {
    if (!model || !initDialogs()) return nullptr;
    return std::make_shared<CountingWindowGtk>(std::move(model), owner, nullptr, nullptr);
}

std::shared_ptr<CountingWindow> openCountingWindowOver(std::shared_ptr<CountingWindowModel> model,
                                                       GtkWindow* parent, std::function<void()> afterResult) {
    if (!model || !initDialogs()) return nullptr;
    return std::make_shared<CountingWindowGtk>(std::move(model), xidOf(GTK_WIDGET(parent)), parent,
                                               std::move(afterResult));
}

void pumpNativeWindows() {
    if (g_openCountingWindows > 0) drainGtkEvents();
}

}  // namespace ludexa
