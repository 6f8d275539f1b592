#include "frontend/syntax_tree.h"

#include <sys/mman.h>

#include <cstdint>
#include <cstring>
#include <new>

namespace vrel::frontend {
namespace {

// A text is kept as its length in 7-bit groups, low group first, then its bytes.
constexpr std::size_t kMaxLengthBytes = 10;

std::size_t length_bytes(std::size_t size) {
  std::size_t count = 1;
  while (size >= 0x80) {
    size >>= 7;
    ++count;
  }
  return count;
}

char* put_length(char* out, std::size_t size) {
  while (size >= 0x80) {
    *out++ = static_cast<char>(0x80 | (size & 0x7f));
    size >>= 7;
  }
  *out++ = static_cast<char>(size);
  return out;
}

}  // namespace

SyntaxTree program_tree;

TextId SyntaxTree::add_text(const char* bytes, std::size_t size) {
  if (size > SIZE_MAX - kMaxLengthBytes) throw std::bad_alloc();
  std::size_t needed = length_bytes(size) + size;
  char* out;
  TextId id;
  if (needed > kLongText) {
    out = new_text_block(needed);
    id = TextId{text_blocks_.size() - 1} * kTextBlockSize;
  } else {
    if (needed + kTextReadAhead > kTextBlockSize - shared_used_) {
      new_text_block(kTextBlockSize);
      shared_block_ = text_blocks_.size() - 1;
      shared_used_ = 0;
    }
    out = text_blocks_[shared_block_].bytes + shared_used_;
    id = TextId{shared_block_} * kTextBlockSize + shared_used_;
    shared_used_ += needed;
  }
  ++text_blocks_[id / kTextBlockSize].in_use;
  out = put_length(out, size);
  if (size != 0) std::memcpy(out, bytes, size);
  return id;
}

std::string_view SyntaxTree::text(TextId id) const {
  const char* in = text_blocks_[id / kTextBlockSize].bytes + id % kTextBlockSize;
  std::size_t size = 0;
  for (int shift = 0;; shift += 7) {
    auto byte = static_cast<unsigned char>(*in++);
    size |= std::size_t{byte & 0x7fu} << shift;
    if (byte < 0x80) break;
  }
  return {in, size};
}

NodeId SyntaxTree::add(NodeKind kind, std::initializer_list<NodeId> children, TextId text) {
  NodeId first = 0;
  for (auto child = std::rbegin(children); child != std::rend(children); ++child) {
    first = prepend(*child, first);
  }
  NodeId id = add_over(kind, first);
  at(id).text = text;
  return id;
}

NodeId SyntaxTree::add_over(NodeKind kind, NodeId first) {
  if (next_node_ > UINT32_MAX) throw std::bad_alloc();
  auto id = static_cast<NodeId>(next_node_);
  if (id % kNodesPerBlock == 0 || node_blocks_.empty()) {
    node_blocks_.emplace_back();  // first, so a failure here leaves nothing to free
    node_blocks_.back().size = kNodesPerBlock * sizeof(Node);
    node_blocks_.back().bytes = map_block(node_blocks_.back().size);
  } else if (node_blocks_.back().bytes == nullptr) {
    node_blocks_.back().bytes = map_block(node_blocks_.back().size);
  }
  at(id) = Node{static_cast<std::uint8_t>(kind), 0, first, 0};
  ++node_blocks_[id / kNodesPerBlock].in_use;
  ++next_node_;
  return id;
}

NodeId SyntaxTree::prepend(NodeId element, NodeId rest) {
  at(element).next_sibling = rest;
  return element;
}

void SyntaxTree::done_with_node(NodeId id) {
  Block& block = node_blocks_[id / kNodesPerBlock];
  if (--block.in_use == 0) unmap_block(block);
}

void SyntaxTree::done_with_text(TextId id) {
  Block& block = text_blocks_[id / kTextBlockSize];
  if (--block.in_use != 0) return;
  unmap_block(block);
  if (id / kTextBlockSize == shared_block_) shared_used_ = kTextBlockSize;
}

void SyntaxTree::release() {
  for (Block& block : node_blocks_) unmap_block(block);
  for (Block& block : text_blocks_) unmap_block(block);
  node_blocks_ = {};
  text_blocks_ = {};
  next_node_ = 1;
  shared_block_ = 0;
  shared_used_ = kTextBlockSize;
  keep_spans_ = false;
  spans_ = {};
}

char* SyntaxTree::new_text_block(std::size_t size) {
  text_blocks_.emplace_back();  // first, so a failure here leaves nothing to free
  text_blocks_.back().size = size;
  text_blocks_.back().bytes = map_block(size);
  return text_blocks_.back().bytes;
}

char* SyntaxTree::map_block(std::size_t size) {
  void* bytes = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (bytes == MAP_FAILED) throw std::bad_alloc();
  return static_cast<char*>(bytes);
}

void SyntaxTree::unmap_block(Block& block) {
  if (block.bytes != nullptr) ::munmap(block.bytes, block.size);
  block.bytes = nullptr;
}

}  // namespace vrel::frontend
