// The shutdown signals through a self-pipe: the handler does nothing but set a
// flag and write one byte, both safe inside a signal handler on any thread.
// GTK's dialog loops learn of it through a GLib watch on the same pipe.
#include "platform/shutdown_signal.h"

#include <fcntl.h>
#include <glib-unix.h>
#include <gtk/gtk.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

namespace ludexa {
namespace {

static_assert(std::atomic<bool>::is_always_lock_free, "the flag is set inside a signal handler");
std::atomic<bool> g_requested{false};
int g_pipe[2] = {-1, -1};

constexpr int kSignals[] = {SIGTERM, SIGHUP, SIGINT};
// How often, after a signal, a dialog opened meanwhile is looked for.
constexpr guint kDialogSweepMs = 50;

extern "C" void onShutdownSignal(int) {
    const int savedErrno = errno;
    g_requested.store(true);
    const char byte = 1;
    // Non-blocking: a full pipe is readable already, and a second signal
    // (SIGHUP after SIGTERM at logout) has nothing more to say.
    [[maybe_unused]] const ssize_t written = ::write(g_pipe[1], &byte, 1);
    errno = savedErrno;
}

// Answers every shown dialog as if its window had been closed: gtk_dialog_run
// returns, and the code that ran it carries on as after a cancel.
void endOpenDialogs() {
    // Held while answering: an answer may destroy a dialog further on the list.
    GList* windows = gtk_window_list_toplevels();
    for (GList* item = windows; item != nullptr; item = item->next) g_object_ref(item->data);
    for (GList* item = windows; item != nullptr; item = item->next) {
        auto* widget = static_cast<GtkWidget*>(item->data);
        if (GTK_IS_DIALOG(widget) && gtk_widget_get_visible(widget))
            gtk_dialog_response(GTK_DIALOG(widget), GTK_RESPONSE_DELETE_EVENT);
    }
    g_list_free_full(windows, g_object_unref);
}

gboolean sweepDialogs(gpointer) {
    endOpenDialogs();
    return G_SOURCE_CONTINUE;
}

gboolean onPipeReadable(gint, GIOCondition, gpointer) {
    endOpenDialogs();
    // The pipe stays readable for the main loop, so this watch goes (it would
    // fire on every pass of GLib's loop); a sweep catches the dialogs that
    // the code after a cancelled one may still open.
    g_timeout_add(kDialogSweepMs, sweepDialogs, nullptr);
    return G_SOURCE_REMOVE;
}

}  // namespace

bool installShutdownSignals() {
    if (g_pipe[0] >= 0) return true;
    if (::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        g_pipe[0] = g_pipe[1] = -1;
        return false;
    }
    struct sigaction action {};
    action.sa_handler = onShutdownSignal;
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    for (int sig : kSignals) sigaddset(&action.sa_mask, sig);
    for (int sig : kSignals) {
        // A signal the starting shell set to be ignored (nohup ignores SIGHUP)
        // stays ignored.
        struct sigaction previous {};
        if (::sigaction(sig, nullptr, &previous) == 0 && previous.sa_handler == SIG_IGN) continue;
        (void)::sigaction(sig, &action, nullptr);
    }
    return true;
}

int shutdownSignalDescriptor() { return g_pipe[0]; }

bool shutdownRequested() { return g_requested.load(); }

void endDialogsOnShutdown() {
    static bool watching = false;
    if (watching || g_pipe[0] < 0) return;
    watching = true;
    g_unix_fd_add(g_pipe[0], G_IO_IN, onPipeReadable, nullptr);
}

}  // namespace ludexa
