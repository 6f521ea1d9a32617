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

enum class MessageIcon { Plain, Information, Warning, Error };
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

}  // namespace ludexa
