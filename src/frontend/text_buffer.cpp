#include "frontend/text_buffer.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>

#include "frontend/out_of_memory.h"

namespace vrel::frontend {
namespace {

// A bump allocator over a chain of blocks that double in size up to a cap; nothing is freed
// before `release`.
class Arena {
 public:
  void* allocate(std::size_t size, std::size_t align) {
    if (block_ != nullptr) {
      if (char* p = aligned(next_, align); size <= static_cast<std::size_t>(end_ - p)) {
        next_ = p + size;
        return p;
      }
    }
    add_block(size + align);
    char* p = aligned(next_, align);
    next_ = p + size;
    return p;
  }

  void release() {
    while (block_ != nullptr) {
      Block* prev = block_->prev;
      std::free(block_);
      block_ = prev;
    }
    next_ = end_ = nullptr;
    next_block_size_ = kFirstBlockSize;
  }

 private:
  struct Block {
    Block* prev;
  };
  static constexpr std::size_t kFirstBlockSize = std::size_t{64} << 10;
  static constexpr std::size_t kMaxBlockSize = std::size_t{64} << 20;

  static char* aligned(char* p, std::size_t align) {
    auto address = reinterpret_cast<std::uintptr_t>(p);
    return p + ((align - address % align) % align);
  }

  void add_block(std::size_t min_size) {
    if (min_size > SIZE_MAX - sizeof(Block)) out_of_memory();
    std::size_t size = std::max(next_block_size_, min_size + sizeof(Block));
    auto* block = static_cast<Block*>(std::malloc(size));
    if (block == nullptr) out_of_memory();
    block->prev = block_;
    block_ = block;
    next_ = reinterpret_cast<char*>(block + 1);
    end_ = reinterpret_cast<char*>(block) + size;
    next_block_size_ = std::min(next_block_size_ * 2, kMaxBlockSize);
  }

  Block* block_ = nullptr;
  char* next_ = nullptr;
  char* end_ = nullptr;
  std::size_t next_block_size_ = kFirstBlockSize;
};

Arena arena;

template <typename T>
T* make(const T& value) {
  return new (arena.allocate(sizeof(T), alignof(T))) T(value);
}

void add_piece(TextBuffer& buf, const Piece& piece) {
  Piece* p = make(piece);
  if (buf.last == nullptr) {
    buf.first = p;
  } else {
    buf.last->next = p;
  }
  buf.last = p;
}

unsigned char level_of(int level) {
  return static_cast<unsigned char>(level);
}

}  // namespace

TextBuffer* buf_new() {
  return make(TextBuffer{});
}

TextBuffer* buf_token(const char* bytes, std::size_t size) {
  auto* copy = static_cast<char*>(arena.allocate(size == 0 ? 1 : size, 1));
  if (size != 0) std::memcpy(copy, bytes, size);
  return make(TextBuffer{std::string_view(copy, size)});
}

void buf_add_line(TextBuffer& buf, int level, std::string_view text) {
  add_piece(buf, Piece{nullptr, PieceKind::kLine, level_of(level), text, nullptr});
}

void buf_add_quoted(TextBuffer& buf, int level, std::string_view text) {
  add_piece(buf, Piece{nullptr, PieceKind::kQuoted, level_of(level), text, nullptr});
}

void buf_add_nested(TextBuffer& buf, int level, const TextBuffer& child) {
  add_piece(buf, Piece{nullptr, PieceKind::kNested, level_of(level), {}, &child});
}

void buf_append(TextBuffer& buf, TextBuffer& tail) {
  if (tail.first == nullptr) return;
  if (buf.last == nullptr) {
    buf.first = tail.first;
  } else {
    buf.last->next = tail.first;
  }
  buf.last = tail.last;
  tail.first = tail.last = nullptr;
}

void buf_release_all() {
  arena.release();
}

}  // namespace vrel::frontend
