// Deep trees are read, walked and destroyed recursively. Work that may meet one runs on a thread
// whose stack is large enough for the deepest input we accept, instead of the default 8 MiB.
#pragma once

#include <cstddef>
#include <functional>

namespace vrel {

inline constexpr std::size_t kLargeStackBytes = std::size_t{2} << 30;  // 2 GiB, committed lazily

// Runs `work` on a thread with a stack of `kLargeStackBytes` and waits for it. An exception thrown
// by `work` is rethrown in the caller.
void runWithLargeStack(const std::function<void()>& work);

}  // namespace vrel
