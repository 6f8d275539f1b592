// Append-only text kept in blocks that grow to a few MiB: long text is never copied as it grows,
// and it is written out in large pieces.
#pragma once

#include <cstddef>
#include <cstring>
#include <memory>
#include <ostream>
#include <string_view>
#include <vector>

namespace vrel {

class TextBlocks {
 public:
  void append(std::string_view piece) {
    if (piece.size() > static_cast<std::size_t>(end_ - next_)) return appendToNewBlock(piece);
    if (!piece.empty()) std::memcpy(next_, piece.data(), piece.size());
    next_ += piece.size();
  }

  void writeTo(std::ostream& out) const;

 private:
  struct Block {
    std::unique_ptr<char[]> bytes;
    std::size_t size;  // of the last block: up to next_
  };

  void appendToNewBlock(std::string_view piece);

  std::vector<Block> blocks_;
  char* next_ = nullptr;  // where the last block continues
  char* end_ = nullptr;   // the end of the last block
};

}  // namespace vrel
