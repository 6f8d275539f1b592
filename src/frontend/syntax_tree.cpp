#include "frontend/syntax_tree.h"

#include <cstdlib>
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
    if (needed > kTextBlockSize - shared_used_) {
      new_text_block(kTextBlockSize);
      shared_block_ = text_blocks_.size() - 1;
      shared_used_ = 0;
    }
    out = text_blocks_[shared_block_] + shared_used_;
    id = TextId{shared_block_} * kTextBlockSize + shared_used_;
    shared_used_ += needed;
  }
  out = put_length(out, size);
  if (size != 0) std::memcpy(out, bytes, size);
  return id;
}

std::string_view SyntaxTree::text(TextId id) const {
  const char* in = text_blocks_[id / kTextBlockSize] + id % kTextBlockSize;
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
    node_blocks_.push_back(nullptr);  // first, so a failure here leaves nothing to free
    node_blocks_.back() = static_cast<Node*>(std::malloc(kNodesPerBlock * sizeof(Node)));
    if (node_blocks_.back() == nullptr) throw std::bad_alloc();
  }
  at(id) = Node{static_cast<std::uint8_t>(kind), 0, first, 0};
  ++next_node_;
  return id;
}

NodeId SyntaxTree::prepend(NodeId element, NodeId rest) {
  at(element).next_sibling = rest;
  return element;
}

void SyntaxTree::release() {
  for (Node* block : node_blocks_) std::free(block);
  for (char* block : text_blocks_) std::free(block);
  node_blocks_ = {};
  text_blocks_ = {};
  next_node_ = 1;
  shared_block_ = 0;
  shared_used_ = kTextBlockSize;
}

char* SyntaxTree::new_text_block(std::size_t size) {
  text_blocks_.push_back(nullptr);  // first, so a failure here leaves nothing to free
  text_blocks_.back() = static_cast<char*>(std::malloc(size));
  if (text_blocks_.back() == nullptr) throw std::bad_alloc();
  return text_blocks_.back();
}

}  // namespace vrel::frontend
