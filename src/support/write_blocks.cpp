#include "support/write_blocks.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace vrel {

int writeBlocks(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t written = ::write(fd, bytes.data(), std::min(bytes.size(), kWriteBlockBytes));
    if (written < 0 && errno == EINTR) continue;
    if (written < 0) return errno;
    if (written == 0) return EIO;
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return 0;
}

}  // namespace vrel
