// The GTK file chooser for picking one existing file, and where every
// chooser of the program opens.
#include <map>
#include <memory>

#include "platform/dialogs.h"
#include "platform/linux/gtk_util.h"
#include "platform/paths.h"

namespace ludexa {
namespace {

// Per chooser, for the run: a user who picks again usually picks nearby.
std::map<std::string, std::string>& lastChosen() {
    static std::map<std::string, std::string> chosen;
    return chosen;
}

}  // namespace

void startChooserIn(GtkWidget* chooser, const std::string& key, const std::string& preferred) {
    std::vector<std::string> candidates{preferred};
    if (const auto last = lastChosen().find(key); last != lastChosen().end()) candidates.push_back(last->second);
    const std::string folder =
        chooserStartFolder(candidates, userHomeDirectory(), [](const std::string& p) { return isDirectory(p); });
    gtk_file_chooser_set_current_folder(GTK_FILE_CHOOSER(chooser), folder.c_str());
}

void rememberChosen(const std::string& key, const std::string& path) {
    if (!path.empty()) lastChosen()[key] = path;
}

std::optional<std::string> chooseFile(const std::string& title, NativeWindow owner,
                                      const std::vector<FileFilter>& filters) {
    if (!initDialogs()) return std::nullopt;
    GtkWidget* dialog = gtk_file_chooser_dialog_new(title.c_str(), nullptr, GTK_FILE_CHOOSER_ACTION_OPEN, "取消",
                                                    GTK_RESPONSE_CANCEL, "打开", GTK_RESPONSE_ACCEPT, nullptr);
    gtk_window_set_modal(GTK_WINDOW(dialog), TRUE);
    gtk_window_set_keep_above(GTK_WINDOW(dialog), TRUE);
    gtk_file_chooser_set_local_only(GTK_FILE_CHOOSER(dialog), TRUE);
    for (const auto& f : filters) {
        GtkFileFilter* filter = gtk_file_filter_new();  // owned by the chooser once added
        gtk_file_filter_set_name(filter, f.name.c_str());
        std::size_t start = 0;
        while (start <= f.patterns.size()) {
            const auto end = f.patterns.find(';', start);
            const auto pattern = f.patterns.substr(start, end == std::string::npos ? std::string::npos : end - start);
            if (!pattern.empty()) gtk_file_filter_add_pattern(filter, pattern.c_str());
            if (end == std::string::npos) break;
            start = end + 1;
        }
        gtk_file_chooser_add_filter(GTK_FILE_CHOOSER(dialog), filter);
    }
    startChooserIn(dialog, title);
    makeTransientFor(dialog, owner);
    std::optional<std::string> chosen;
    if (gtk_dialog_run(GTK_DIALOG(dialog)) == GTK_RESPONSE_ACCEPT) {
        std::unique_ptr<gchar, decltype(&g_free)> path(gtk_file_chooser_get_filename(GTK_FILE_CHOOSER(dialog)), &g_free);
        if (path && g_file_test(path.get(), G_FILE_TEST_IS_REGULAR)) chosen = std::string(path.get());
    }
    if (chosen) rememberChosen(title, *chosen);
    gtk_widget_destroy(dialog);
    drainGtkEvents();
    return chosen;
}

}  // namespace ludexa
