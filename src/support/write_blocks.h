// The one way vrelc writes bytes to a descriptor: write(2) again after a partial write or a
// signal, a block at a time. A write of 2 MiB or more can make the kernel put a file's pages in
// huge folios, which cost several times as much to come by as small ones: no block is larger.
#pragma once

#include <cstddef>
#include <string_view>

namespace vrel {

inline constexpr std::size_t kWriteBlockBytes = std::size_t{1} << 20;

// Writes every byte of `bytes` to `fd`. Returns 0, or the errno of the write that failed (EIO for
// one that wrote nothing).
int writeBlocks(int fd, std::string_view bytes);

}  // namespace vrel
