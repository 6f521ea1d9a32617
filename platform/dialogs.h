// Message boxes and file choosers: modal GTK dialogs over the main window.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace ludexa {

// The native handle of the window a dialog is made transient for (an X window
// id); 0 for none.
using NativeWindow = unsigned long;

enum class MessageIcon { Plain, Information, Warning, Error, Question };
enum class MessageButtons { Ok, YesNo };

struct MessageBoxRequest {
    std::string text;
    std::string caption;
    MessageIcon icon = MessageIcon::Plain;
    MessageButtons buttons = MessageButtons::Ok;
    NativeWindow owner = 0;
};

// Shows the box and waits for it; true for OK or Yes.
bool showMessageBox(const MessageBoxRequest& request);

// Tests replace the dialog by a function that answers in its place.
using MessageBoxHook = std::function<bool(const MessageBoxRequest&)>;
void setMessageBoxHook(MessageBoxHook hook);

// Starts the toolkit; false when there is no display. Called once by main().
bool initDialogs();

// Asks for a folder with the toolkit's folder chooser, titled `title`;
// nullopt when the user cancels. Tests answer through the hook instead.
std::optional<std::string> chooseFolder(const std::string& title, NativeWindow owner);
using ChooseFolderHook = std::function<std::optional<std::string>(const std::string& title)>;
void setChooseFolderHook(ChooseFolderHook hook);

// Asks for an existing file with the toolkit's file chooser. Each filter is a
// name and its patterns separated by ";" ("*.jpg;*.png"); nullopt on cancel.
struct FileFilter {
    std::string name;
    std::string patterns;
};
std::optional<std::string> chooseFile(const std::string& title, NativeWindow owner,
                                      const std::vector<FileFilter>& filters);

// The folder a chooser opens in, rather than GTK's "Recent" list (where a
// typed path is not taken and the accept button stays grey): the first of
// `candidates` (absolute paths, best first: the field's own path, then what
// this chooser returned last) that is an existing folder, or whose parent is
// one (a chosen file, a folder removed since); else `home`; else "/".
std::string chooserStartFolder(const std::vector<std::string>& candidates, const std::string& home,
                               const std::function<bool(const std::string&)>& isDirectory);

// Runs `work` on a worker thread and returns once it has finished. Meanwhile
// a small undecorated window showing `text` sits centred on `owner` and is
// kept drawn; nothing else of the program runs. Without a display the work
// simply runs to its end.
void runWithWaitingPopup(const std::string& text, NativeWindow owner, const std::function<void()>& work);

// While a DialogCloseWatch exists, `beforeClose` runs each time one of the
// program's own toolkit windows (a message box, a file chooser, any native
// dialog) is about to leave the screen, while it is still shown. The launcher
// drains its own window's input there: what reached it while the dialog was
// open is dropped, and a click made the moment the dialog is gone is kept.
class DialogCloseWatch {
public:
    explicit DialogCloseWatch(std::function<void()> beforeClose);
    ~DialogCloseWatch();
    DialogCloseWatch(const DialogCloseWatch&) = delete;
    DialogCloseWatch& operator=(const DialogCloseWatch&) = delete;

private:
    unsigned long hookId_ = 0;
    unsigned signalId_ = 0;
    std::function<void()> beforeClose_;
};

}  // namespace ludexa
