#include "codegen/text_blocks.h"

#include <algorithm>

namespace vrel {
namespace {

constexpr std::size_t kFirstBlockBytes = std::size_t{64} << 10;
constexpr std::size_t kLargestBlockBytes = std::size_t{4} << 20;

}  // namespace

void TextBlocks::appendToNewBlock(std::string_view piece) {
  std::size_t room = static_cast<std::size_t>(end_ - next_);
  if (room > 0) std::memcpy(next_, piece.data(), room);
  piece.remove_prefix(room);
  std::size_t capacity = kFirstBlockBytes;
  if (!blocks_.empty()) {
    Block& last = blocks_.back();
    last.size = static_cast<std::size_t>(end_ - last.bytes.get());
    capacity = std::min(2 * last.size, kLargestBlockBytes);
  }
  capacity = std::max(capacity, piece.size());
  blocks_.push_back({std::make_unique_for_overwrite<char[]>(capacity), 0});
  next_ = blocks_.back().bytes.get();
  end_ = next_ + capacity;
  std::memcpy(next_, piece.data(), piece.size());
  next_ += piece.size();
}

void TextBlocks::writeTo(std::ostream& out) const {
  for (std::size_t i = 0; i < blocks_.size(); ++i) {
    const char* bytes = blocks_[i].bytes.get();
    std::size_t size = i + 1 < blocks_.size() ? blocks_[i].size : next_ - bytes;
    out.write(bytes, static_cast<std::streamsize>(size));
  }
}

}  // namespace vrel
