#include "frontend/output_blocks.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <new>

namespace vrel::frontend {

OutputBlocks::OutputBlocks(int fd, AstTextListener* listener)
    : fd_(fd), listener_(listener), block_(static_cast<char*>(std::malloc(kBlockSize))) {
  if (block_ == nullptr) throw std::bad_alloc();
}

OutputBlocks::~OutputBlocks() {
  std::free(block_);
}

bool OutputBlocks::finish() {
  write_block();
  return !failed_;
}

void OutputBlocks::put_long_line(std::size_t indent, std::string_view text, bool quoted) {
  for (std::size_t n; indent > 0; indent -= n) {
    n = std::min(indent, kSpaces.size());
    put(std::string_view(kSpaces.data(), n));
  }
  if (quoted) put("\"");
  put(text);
  put(quoted ? "\"\n" : "\n");
}

void OutputBlocks::put_across_blocks(std::string_view bytes) {
  while (!bytes.empty()) {
    if (used_ == kBlockSize) write_block();
    std::size_t n = std::min(bytes.size(), kBlockSize - used_);
    std::memcpy(block_ + used_, bytes.data(), n);
    used_ += n;
    bytes.remove_prefix(n);
  }
}

void OutputBlocks::write_block() {
  const char* next = block_;
  const char* end = block_ + used_;
  used_ = 0;
  while (fd_ >= 0 && next < end && !failed_) {
    ssize_t n = ::write(fd_, next, static_cast<std::size_t>(end - next));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      failed_ = true;
    } else {
      next += n;
    }
  }
  if (listener_ != nullptr && !failed_ && end != block_) {
    listener_->written(std::string_view(block_, static_cast<std::size_t>(end - block_)));
  }
}

}  // namespace vrel::frontend
