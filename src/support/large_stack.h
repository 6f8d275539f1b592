// Deep trees are read and walked recursively. Work that may meet one runs on a thread whose stack
// is large enough for the deepest input we accept, instead of the default 8 MiB; elsewhere the
// depth accepted shrinks with the stack there is.
#pragma once

#include <pthread.h>
#include <signal.h>

#include <cstddef>
#include <cstdint>
#include <exception>
#include <functional>

namespace vrel {

inline constexpr std::size_t kLargeStackBytes = std::size_t{2} << 30;  // 2 GiB, committed lazily

// Where a stack cannot be had, smaller ones are tried, down to this size.
inline constexpr std::size_t kSmallestStackBytes = std::size_t{256} << 10;

// Where the address space is limited (ulimit -v), a stack takes at most this share of what is
// left of it: the rest is for the heap.
inline constexpr std::size_t kAddressSpaceShareOfStack = 8;

// Every recursive walk of the tree (reading it, translating it) takes at most this much stack
// per level of nesting, and at most `kStackBytesReserved` besides.
inline constexpr std::size_t kStackBytesPerLevel = 2048;
inline constexpr std::size_t kStackBytesReserved = std::size_t{64} << 10;

// A source nests at most this many levels per byte of its text.
inline constexpr std::size_t kLevelsPerSourceByte = 4;

// The stack for the walks of the tree of a source of `sourceBytes` (0 when unknown): enough for
// the deepest nesting it can hold, at most kLargeStackBytes.
std::size_t stackBytesForSource(std::size_t sourceBytes);

// The address space left below the limit (ulimit -v); SIZE_MAX when there is none.
std::size_t addressSpaceLeft();

// A thread with a stack of `bytes` (at most the share of the address space left that
// kAddressSpaceShareOfStack allows; where that cannot be had, the largest of half, a quarter...
// down to `kSmallestStackBytes`) that runs `work` while its creator goes on.
class LargeStackThread {
 public:
  // Starts `work`, which must outlive the thread, with the creator's signal mask plus `blocked`
  // (when not null); when no such thread can be started, started() is false and `work` never
  // runs.
  explicit LargeStackThread(const std::function<void()>& work, const sigset_t* blocked = nullptr,
                            std::size_t bytes = kLargeStackBytes);
  LargeStackThread(const LargeStackThread&) = delete;
  LargeStackThread& operator=(const LargeStackThread&) = delete;
  // Waits for the work if it still runs; what it threw is dropped.
  ~LargeStackThread();

  bool started() const { return started_; }

  // Waits for the work to end and rethrows what it threw.
  void join();

 private:
  static void* run(void* self);

  const std::function<void()>& work_;
  std::exception_ptr error_;
  pthread_t thread_{};
  bool started_ = false;
  bool joined_ = false;
};

// Runs `work` on a LargeStackThread and waits for it; an exception thrown by `work` is rethrown in
// the caller. When no such thread can be started at all, `work` runs on the caller's stack.
void runWithLargeStack(const std::function<void()>& work);

// The stack left below the caller's frame on the calling thread, in bytes.
std::size_t stackBytesLeft();

// The lowest address the calling thread's stack may grow to, above its guard; 0 when unknown.
std::uintptr_t stackLimit();

// How deeply a tree may nest for its walks to fit in the calling thread's stack.
std::size_t nestingDepthForStack();

}  // namespace vrel
