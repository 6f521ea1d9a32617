// Logout, a closed terminal and Ctrl+C: SIGTERM, SIGHUP and SIGINT ask the
// launcher to close as if its window had been closed, so that the settings
// and the sessions of running games are written before it goes. The handler
// only records the request and makes a descriptor readable; the main loop
// notices either, and a toolkit dialog or the waiting pop-up running a loop of
// its own is ended so that control comes back to the main loop.
#pragma once

namespace ludexa {

// Installs the handlers. Called once by main() before any thread starts.
// False when the descriptor cannot be made; the signals then keep their
// default action, which ends the program at once.
bool installShutdownSignals();

// Readable from the first signal on, for good (nothing ever reads it empty),
// so a loop sleeping in poll() on it wakes at once and every later poll
// returns at once too. -1 before installShutdownSignals().
int shutdownSignalDescriptor();

// True once one of the signals arrived.
bool shutdownRequested();

// Ends every toolkit dialog that runs its own loop, now and for as long as
// the program lives after a signal, without waiting for the main loop.
// Called once the toolkit is up (initDialogs does).
void endDialogsOnShutdown();

}  // namespace ludexa
