#include "ast/large_stack.h"

#include <pthread.h>

#include <cstring>
#include <exception>
#include <stdexcept>
#include <string>

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

void check(int status, const char* what) {
  if (status != 0) throw std::runtime_error(std::string(what) + ": " + std::strerror(status));
}

}  // namespace

void runWithLargeStack(const std::function<void()>& work) {
  Job job{&work, nullptr};
  pthread_attr_t attr;
  check(pthread_attr_init(&attr), "pthread_attr_init");
  int status = pthread_attr_setstacksize(&attr, kLargeStackBytes);
  pthread_t thread;
  if (status == 0) status = pthread_create(&thread, &attr, runJob, &job);
  pthread_attr_destroy(&attr);
  check(status, "cannot start a thread with a large stack");
  check(pthread_join(thread, nullptr), "pthread_join");
  if (job.error) std::rethrow_exception(job.error);
}

}  // namespace vrel
