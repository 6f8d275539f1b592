#include "support/large_stack.h"

#include <pthread.h>
#include <unistd.h>

#include <cstdint>
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

// The lowest address the calling thread's stack may grow to, above its guard; 0 when unknown.
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

}  // namespace

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

LargeStackThread::LargeStackThread(const std::function<void()>& work, const sigset_t* blocked)
    : work_(work) {
  sigset_t saved;
  if (blocked != nullptr) pthread_sigmask(SIG_BLOCK, blocked, &saved);
  for (std::size_t bytes = kLargeStackBytes; bytes >= kSmallestStackBytes && !started_; bytes /= 2)
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
