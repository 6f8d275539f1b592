// The storage of a tree read from AST text: one flat array of 32-bit words holding every node,
// list and string, children before their parents.
//
//   node    the constructor's tag, then its field's words
//   field   a child node, a list or a string: its word index; an enumerator or an integer: its
//           value; a tuple (a parameter, a call, a function or variable definition): the words
//           of its components, in their order
//   list    the number of elements, then the words of each element
//   string  the number of bytes, then the bytes, padded to a whole word
//
// The array is one block of the heap, grown by realloc (a block mapped on its own moves its pages
// rather than copying them) and freed in one piece: a tree of any depth is freed without
// recursion, and a process that reads tree after tree (the language server) reuses the memory
// of the last one rather than having fresh pages faulted in. Equal strings are stored once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "ast/tree_string.h"

namespace vrel::ast {

using Word = std::uint32_t;

class TreeStore {
 public:
  TreeStore();
  ~TreeStore();
  TreeStore(const TreeStore&) = delete;
  TreeStore& operator=(const TreeStore&) = delete;

  // Building. Every operation returns the word index of what it stored.
  Word appendNode(Word tag, std::span<const Word> fieldWords) {
    Word index = static_cast<Word>(size_);
    Word* where = grow(1 + fieldWords.size());
    where[0] = tag;
    for (Word w : fieldWords) *++where = w;
    return index;
  }
  Word appendList(std::size_t count, std::span<const Word> elementWords);
  Word appendRecord(std::span<const Word> words);
  Word intern(std::string_view bytes);
  Word emptyList() const { return kEmptyList; }

  // Reading, once built.
  const Word* at(Word index) const { return words_ + index; }
  TreeString string(Word index) const {
    const Word* record = at(index);
    return TreeString(TreeString::InStore{},
                      std::string_view(reinterpret_cast<const char*>(record + 1), record[0]));
  }

  std::size_t wordCount() const { return size_; }

  // The size of the array declared by the node `node`, as its digits, when it is more than an
  // array can have: the 32-bit value stored for it is the size modulo 2^32.
  void noteOversizedArray(Word node, std::string digits) {
    oversizedArrays_.emplace_back(node, std::move(digits));
  }
  const std::string* oversizedArray(Word node) const {
    for (const auto& [at, digits] : oversizedArrays_)
      if (at == node) return &digits;
    return nullptr;
  }

 private:
  static constexpr Word kEmptyList = 0;  // the first record: a list of no elements

  // Room for `words` more; returns where they go.
  Word* grow(std::size_t words) {
    if (size_ + words > capacity_) reallocate(size_ + words);
    Word* where = words_ + size_;
    size_ += words;
    return where;
  }
  void reallocate(std::size_t words);
  std::string_view stringAt(Word index) const;

  Word* words_ = nullptr;
  std::size_t size_ = 0;      // words in use
  std::size_t capacity_ = 0;  // words allocated
  std::vector<std::pair<Word, std::string>> oversizedArrays_;
  std::vector<Word> strings_;  // open-addressing table of string records; 0 is a free slot
  std::size_t stringCount_ = 0;
};

}  // namespace vrel::ast
