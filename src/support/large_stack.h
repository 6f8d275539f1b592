// Deep trees are read, walked and destroyed recursively. Work that may meet one runs on a thread
// whose stack is large enough for the deepest input we accept, instead of the default 8 MiB.
#pragma once

#include <cstddef>
#include <functional>

namespace vrel {

inline constexpr std::size_t kLargeStackBytes = std::size_t{2} << 30;  // 2 GiB, committed lazily

// Where the address space is limited (ulimit -v), smaller stacks are tried down to this size,
// which still holds the deepest tree the parser accepts.
inline constexpr std::size_t kSmallestStackBytes = std::size_t{128} << 20;

// Runs `work` on a thread with a stack of `kLargeStackBytes` (or the largest that can be had, down
// to `kSmallestStackBytes`) and waits for it; an exception thrown by `work` is rethrown in the
// caller. When no such thread can be started at all, `work` runs on the caller's stack.
void runWithLargeStack(const std::function<void()>& work);

}  // namespace vrel
