// SIGINT, SIGTERM and SIGHUP while temporary files exist, and SIGPIPE and SIGXFSZ, which would
// otherwise end vrelc with its files in place (-p piped into head, a file size limit): the handler
// removes every registered file and then ends the process by the same signal, with its default
// action. A signal that was ignored when the handlers were installed stays ignored.
//
// The handler is async-signal-safe: it only unlinks paths registered beforehand as C strings and
// re-raises the signal. Registration and release block the signals in the calling thread,
// so that a file is never created without being registered, nor released while the handler could
// still remove it. That thread must be the only one that takes the signals while it does so:
// every other thread of vrelc runs with them blocked (cleanupSignals()).
#pragma once

#include <signal.h>

#include <string>

namespace vrel {

// SIGSEGV and SIGBUS, which a stack too small for the run ends in, are handled too, on a signal
// stack of their own: the handler removes every registered file, says that the stack is too
// small when the fault lies at the end of the main thread's stack, and the process then ends by
// the same signal.
void installCrashHandlers(const std::string& programName);

// The signals whose handler removes the files.
sigset_t cleanupSignals();

// Installs the handlers once per process; later calls do nothing.
void installCleanupHandlers();

// Blocks those signals in the calling thread for the life of the object.
class CleanupSignalsBlocked {
 public:
  CleanupSignalsBlocked();
  ~CleanupSignalsBlocked();
  CleanupSignalsBlocked(const CleanupSignalsBlocked&) = delete;
  CleanupSignalsBlocked& operator=(const CleanupSignalsBlocked&) = delete;

 private:
  sigset_t saved_;
};

// Registers `path` (which must outlive the registration) for removal by the handler. Throws
// std::length_error when every slot is taken. Call with the signals blocked.
void registerForCleanup(const char* path);

// Withdraws `path` from the handler; true if it was registered. Call with the signals blocked.
bool unregisterFromCleanup(const char* path);

}  // namespace vrel
