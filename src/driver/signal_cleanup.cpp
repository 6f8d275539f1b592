#include "driver/signal_cleanup.h"

#include <pthread.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <stdexcept>

#include "support/large_stack.h"

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

// What the crash handler needs: a stack, the end of the main thread's stack, its message.
constexpr std::size_t kCrashStackBytes = std::size_t{64} << 10;
alignas(16) char crashStack[kCrashStackBytes];
std::atomic<std::uintptr_t> mainStackLimit{0};
char crashMessage[256];
std::atomic<std::size_t> crashMessageSize{0};

// A fault this close to the end of the stack is the stack running out (a frame may be large).
constexpr std::uintptr_t kBelowLimit = std::uintptr_t{1} << 20;
constexpr std::uintptr_t kAboveLimit = std::uintptr_t{64} << 10;

void removeRegistered() {
  for (std::atomic<const char*>& slot : registered) {
    if (const char* path = slot.exchange(nullptr)) ::unlink(path);
  }
}

extern "C" void removeFilesAndReraise(int signal) {
  removeRegistered();
  struct sigaction fallback {};
  fallback.sa_handler = SIG_DFL;
  sigemptyset(&fallback.sa_mask);
  ::sigaction(signal, &fallback, nullptr);
  // Blocked until the handler returns; then the default action ends the process.
  (void)::raise(signal);
}

extern "C" void removeFilesAndCrash(int signal, siginfo_t* info, void* /*context*/) {
  removeRegistered();
  auto address = reinterpret_cast<std::uintptr_t>(info->si_addr);
  std::uintptr_t limit = mainStackLimit.load();
  if (limit != 0 && address + kBelowLimit >= limit && address < limit + kAboveLimit) {
    (void)!::write(STDERR_FILENO, crashMessage, crashMessageSize.load());
  }
  removeFilesAndReraise(signal);
}

}  // namespace

void installCrashHandlers(const std::string& programName) {
  std::string message = programName + ": the stack is too small (see ulimit -s)\n";
  message.resize(std::min(message.size(), sizeof crashMessage));
  std::memcpy(crashMessage, message.data(), message.size());
  crashMessageSize = message.size();
  mainStackLimit = stackLimit();
  stack_t stack{};
  stack.ss_sp = crashStack;
  stack.ss_size = kCrashStackBytes;
  if (::sigaltstack(&stack, nullptr) != 0) return;
  struct sigaction action {};
  action.sa_sigaction = removeFilesAndCrash;
  sigfillset(&action.sa_mask);
  action.sa_flags = SA_SIGINFO | SA_ONSTACK;
  ::sigaction(SIGSEGV, &action, nullptr);
  ::sigaction(SIGBUS, &action, nullptr);
}

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
