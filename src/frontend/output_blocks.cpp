#include "frontend/output_blocks.h"

#include <algorithm>
#include <cstdlib>
#include <new>

#include "support/write_blocks.h"

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
  std::string_view block(block_, used_);
  used_ = 0;
  if (failed_ || block.empty()) return;
  // A negative descriptor writes to no file: the block goes to the listener alone.
  if (fd_ >= 0) failed_ = vrel::writeBlocks(fd_, block) != 0;
  if (listener_ != nullptr && !failed_) listener_->written(block);
}

}  // namespace vrel::frontend
