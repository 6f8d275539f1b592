#include "support/large_stack.h"

#include <malloc.h>
#include <pthread.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <utility>

namespace vrel {
namespace {

// Starts `run(arg)` on a thread with a stack of `bytes`; returns pthread's error number.
int startThread(pthread_t& thread, void* (*run)(void*), void* arg, std::size_t bytes) {
  pthread_attr_t attr;
  if (int error = pthread_attr_init(&attr)) return error;
  int error = pthread_attr_setstacksize(&attr, bytes);
  if (error == 0) error = pthread_create(&thread, &attr, run, arg);
  pthread_attr_destroy(&attr);
  return error;
}

}  // namespace

std::uintptr_t stackLimit() {
  pthread_attr_t attr;
  if (pthread_getattr_np(pthread_self(), &attr) != 0) return 0;
  void* lowest = nullptr;
  std::size_t size = 0;
  std::size_t guard = 0;
  int error = pthread_attr_getstack(&attr, &lowest, &size);
  if (error == 0) error = pthread_attr_getguardsize(&attr, &guard);
  pthread_attr_destroy(&attr);
  return error == 0 ? reinterpret_cast<std::uintptr_t>(lowest) + guard : 0;
}

std::size_t stackBytesLeft() {
  std::uintptr_t limit = 0;
  if (gettid() == getpid()) {
    // The main thread's limit is found by reading the process's memory map: once is enough.
    static const std::uintptr_t mainLimit = stackLimit();
    limit = mainLimit;
  } else {
    limit = stackLimit();
  }
  char here;
  auto top = reinterpret_cast<std::uintptr_t>(&here);
  return limit != 0 && top > limit ? top - limit : 0;
}

std::size_t nestingDepthForStack() {
  std::size_t left = stackBytesLeft();
  return left > kStackBytesReserved ? (left - kStackBytesReserved) / kStackBytesPerLevel : 0;
}

std::size_t stackBytesForSource(std::size_t sourceBytes) {
  constexpr std::size_t kMaxBytes =
      (kLargeStackBytes - kStackBytesReserved) / (kLevelsPerSourceByte * kStackBytesPerLevel);
  if (sourceBytes == 0 || sourceBytes > kMaxBytes) return kLargeStackBytes;
  return kStackBytesReserved + sourceBytes * kLevelsPerSourceByte * kStackBytesPerLevel;
}

std::size_t addressSpaceLeft() {
  struct rlimit limit {};
  if (getrlimit(RLIMIT_AS, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) return SIZE_MAX;
  std::size_t pages = 0;
  if (std::FILE* statm = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(statm, "%zu", &pages) != 1) pages = 0;
    (void)std::fclose(statm);  // opened to read only
  }
  std::size_t used = pages * static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
  return limit.rlim_cur > used ? limit.rlim_cur - used : 0;
}

LargeStackThread::LargeStackThread(const std::function<void()>& work, const sigset_t* blocked,
                                   std::size_t bytes)
    : work_(work) {
  sigset_t saved;
  if (blocked != nullptr) pthread_sigmask(SIG_BLOCK, blocked, &saved);
  std::size_t left = addressSpaceLeft();
  // A thread of its own would get a heap arena of its own, which takes 64 MiB of address space
  // (128 MiB while it is made) whatever it holds: where the address space is bounded, every
  // thread allocates from the main arena.
  if (left != SIZE_MAX) {
    (void)mallopt(M_ARENA_MAX, 1);
    bytes = std::min(bytes, std::max(kSmallestStackBytes, left / kAddressSpaceShareOfStack));
  }
  for (; bytes >= kSmallestStackBytes && !started_; bytes /= 2)
    started_ = startThread(thread_, run, this, bytes) == 0;
  if (blocked != nullptr) pthread_sigmask(SIG_SETMASK, &saved, nullptr);
}

LargeStackThread::~LargeStackThread() {
  if (started_ && !joined_) pthread_join(thread_, nullptr);
}

void LargeStackThread::join() {
  if (!started_ || joined_) return;
  pthread_join(thread_, nullptr);
  joined_ = true;
  if (error_) std::rethrow_exception(std::exchange(error_, nullptr));
}

void* LargeStackThread::run(void* self) {
  auto* thread = static_cast<LargeStackThread*>(self);
  try {
    thread->work_();
  } catch (...) {
    thread->error_ = std::current_exception();
  }
  return nullptr;
}

void runWithLargeStack(const std::function<void()>& work) {
  LargeStackThread thread(work);
  if (!thread.started()) return work();
  thread.join();
}

}  // namespace vrel
