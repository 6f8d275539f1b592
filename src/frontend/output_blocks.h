// Text on its way to a file descriptor: gathered in one large block, which goes out in one
// write(2) (repeated for a partial write or a signal) each time it fills, and is then shown to
// the listener, if any.
#pragma once

#include <array>
#include <cstddef>
#include <cstring>
#include <string_view>

#include "frontend/frontend.h"

namespace vrel::frontend {

class OutputBlocks {
 public:
  // Not more: a write of 2 MiB or more can make the kernel put the file's pages in huge folios,
  // which cost several times as much to come by as small ones.
  static constexpr std::size_t kBlockSize = std::size_t{1} << 20;

  // Throws std::bad_alloc if the block cannot be had.
  // A negative `fd` writes to no file: the blocks go to the listener alone.
  explicit OutputBlocks(int fd, AstTextListener* listener = nullptr);
  OutputBlocks(const OutputBlocks&) = delete;
  OutputBlocks& operator=(const OutputBlocks&) = delete;
  ~OutputBlocks();

  // Appends `indent` spaces, `text` and a newline; with `quoted`, `text` between double quotes.
  void put_line(std::size_t indent, std::string_view text, bool quoted = false) {
    std::size_t size = indent + text.size() + 3;
    if (size <= kBlockSize - used_ && indent <= kSpaces.size()) {
      char* out = block_ + used_;
      std::memcpy(out, kSpaces.data(), indent);
      out += indent;
      if (quoted) *out++ = '"';
      std::memcpy(out, text.data(), text.size());
      out += text.size();
      if (quoted) *out++ = '"';
      *out++ = '\n';
      used_ = static_cast<std::size_t>(out - block_);
    } else {
      put_long_line(indent, text, quoted);
    }
  }
  // What put_short and put_short_line may read past the end of the bytes they are given: they
  // copy a fixed number of bytes, which is much quicker than a copy of any length.
  static constexpr std::size_t kReadAhead = 32;

  // put(bytes), for at most kReadAhead bytes of which kReadAhead can be read.
  void put_short(std::string_view bytes) {
    if (bytes.size() <= kReadAhead && kReadAhead <= kBlockSize - used_) {
      std::memcpy(block_ + used_, bytes.data(), kReadAhead);
      used_ += bytes.size();
    } else {
      put(bytes);
    }
  }
  // put_line(0, text, quoted), for a text of which kReadAhead bytes can be read.
  void put_short_line(std::string_view text, bool quoted) {
    if (text.size() + 2 <= kReadAhead && kReadAhead + 2 <= kBlockSize - used_) {
      char* out = block_ + used_;
      *out = '"';
      out += quoted;
      std::memcpy(out, text.data(), kReadAhead);
      out += text.size();
      *out = '"';
      out += quoted;
      *out++ = '\n';
      used_ = static_cast<std::size_t>(out - block_);
    } else {
      put_line(0, text, quoted);
    }
  }

  // Appends `bytes` as they are.
  void put(std::string_view bytes) {
    if (bytes.size() <= kBlockSize - used_) {
      std::memcpy(block_ + used_, bytes.data(), bytes.size());
      used_ += bytes.size();
    } else {
      put_across_blocks(bytes);
    }
  }

  // Writes out what is gathered; false if any write failed.
  bool finish();
  bool failed() const { return failed_; }

 private:
  // Indentation is copied from this run of spaces.
  static constexpr std::array<char, 1024> kSpaces = [] {
    std::array<char, 1024> spaces{};
    spaces.fill(' ');
    return spaces;
  }();

  void put_long_line(std::size_t indent, std::string_view text, bool quoted);
  void put_across_blocks(std::string_view bytes);
  void write_block();

  int fd_;
  AstTextListener* listener_;
  char* block_;
  std::size_t used_ = 0;
  bool failed_ = false;
};

}  // namespace vrel::frontend
