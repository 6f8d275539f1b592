#include "support/large_stack.h"

#include <pthread.h>

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

}  // namespace

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
