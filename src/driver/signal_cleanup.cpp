#include "driver/signal_cleanup.h"

#include <pthread.h>
#include <unistd.h>

#include <atomic>
#include <stdexcept>

namespace vrel {
namespace {

constexpr int kCleanupSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGPIPE, SIGXFSZ};

// A run holds at most an AST file and a C file; the spare slots serve callers that hold several
// runs' files at once.
constexpr int kSlots = 8;

// The handler's view of the files to remove. Process-wide by necessity: a signal handler can
// reach nothing else. Lock-free atomics are safe to read in a handler.
std::atomic<const char*> registered[kSlots];
static_assert(std::atomic<const char*>::is_always_lock_free);

std::atomic<bool> handlersInstalled{false};

extern "C" void removeFilesAndReraise(int signal) {
  for (std::atomic<const char*>& slot : registered) {
    if (const char* path = slot.exchange(nullptr)) ::unlink(path);
  }
  struct sigaction fallback {};
  fallback.sa_handler = SIG_DFL;
  sigemptyset(&fallback.sa_mask);
  ::sigaction(signal, &fallback, nullptr);
  // Blocked until the handler returns; then the default action ends the process.
  (void)::raise(signal);
}

}  // namespace

sigset_t cleanupSignals() {
  sigset_t set;
  sigemptyset(&set);
  for (int signal : kCleanupSignals) sigaddset(&set, signal);
  return set;
}

void installCleanupHandlers() {
  if (handlersInstalled.exchange(true)) return;
  struct sigaction action {};
  action.sa_handler = removeFilesAndReraise;
  action.sa_mask = cleanupSignals();
  action.sa_flags = SA_RESTART;
  for (int signal : kCleanupSignals) {
    struct sigaction previous {};
    if (::sigaction(signal, nullptr, &previous) != 0) continue;
    if (previous.sa_handler == SIG_IGN) continue;
    ::sigaction(signal, &action, nullptr);
  }
}

CleanupSignalsBlocked::CleanupSignalsBlocked() {
  sigset_t set = cleanupSignals();
  ::pthread_sigmask(SIG_BLOCK, &set, &saved_);
}

CleanupSignalsBlocked::~CleanupSignalsBlocked() {
  ::pthread_sigmask(SIG_SETMASK, &saved_, nullptr);
}

void registerForCleanup(const char* path) {
  for (std::atomic<const char*>& slot : registered) {
    const char* empty = nullptr;
    if (slot.compare_exchange_strong(empty, path)) return;
  }
  throw std::length_error("too many temporary files");
}

bool unregisterFromCleanup(const char* path) {
  for (std::atomic<const char*>& slot : registered) {
    const char* expected = path;
    if (slot.compare_exchange_strong(expected, nullptr)) return true;
  }
  return false;
}

}  // namespace vrel
