#include "support/large_stack.h"

#include <pthread.h>
#include <unistd.h>

#include <cstdint>
#include <exception>

namespace vrel {
namespace {

struct Job {
  const std::function<void()>* work;
  std::exception_ptr error;
};

void* runJob(void* arg) {
  auto* job = static_cast<Job*>(arg);
  try {
    (*job->work)();
  } catch (...) {
    job->error = std::current_exception();
  }
  return nullptr;
}

// Starts `job` on a thread with a stack of `bytes`; returns pthread's error number.
int startThread(pthread_t& thread, Job& job, std::size_t bytes) {
  pthread_attr_t attr;
  if (int error = pthread_attr_init(&attr)) return error;
  int error = pthread_attr_setstacksize(&attr, bytes);
  if (error == 0) error = pthread_create(&thread, &attr, runJob, &job);
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

void runWithLargeStack(const std::function<void()>& work) {
  Job job{&work, nullptr};
  pthread_t thread;
  int error = 0;
  for (std::size_t bytes = kLargeStackBytes; bytes >= kSmallestStackBytes; bytes /= 2) {
    error = startThread(thread, job, bytes);
    if (error == 0) break;
  }
  if (error != 0) return work();
  pthread_join(thread, nullptr);
  if (job.error) std::rethrow_exception(job.error);
}

}  // namespace vrel
