// The shutdown signals, each in a child process (the handlers stay installed):
// a signal is a request that wakes a poll() on the descriptor.
#include <gtest/gtest.h>

#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include "platform/shutdown_signal.h"

using namespace ludexa;

namespace {

// Exit code 0 when the signal was taken as a request and the descriptor stays readable.
[[noreturn]] void raiseAndReport(int signal) {
    // A shell starting the tests in the background ignores SIGINT for them.
    ::signal(signal, SIG_DFL);
    if (!installShutdownSignals() || shutdownRequested()) _exit(2);
    ::raise(signal);
    pollfd watch{shutdownSignalDescriptor(), POLLIN, 0};
    const bool woke = ::poll(&watch, 1, 1000) == 1 && ::poll(&watch, 1, 0) == 1;
    _exit(shutdownRequested() && woke ? 0 : 3);
}

}  // namespace

TEST(ShutdownSignal, EachSignalBecomesARequest) {
    for (int signal : {SIGTERM, SIGHUP, SIGINT})
        EXPECT_EXIT(raiseAndReport(signal), ::testing::ExitedWithCode(0), "") << strsignal(signal);
}

// Started under nohup, SIGHUP stays ignored: a closed terminal does not end
// a launcher its user meant to keep.
TEST(ShutdownSignal, AnIgnoredSignalStaysIgnored) {
    EXPECT_EXIT(
        {
            ::signal(SIGHUP, SIG_IGN);
            (void)installShutdownSignals();
            ::raise(SIGHUP);
            _exit(shutdownRequested() ? 1 : 0);
        },
        ::testing::ExitedWithCode(0), "");
}
