#include "ast/tree_store.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

namespace vrel::ast {
namespace {

constexpr std::size_t kInitialWords = std::size_t{1} << 10;
// Word indices are 32 bits wide.
constexpr std::size_t kMaxWords = std::size_t{1} << 32;
// Beyond this the array grows by this much at a time rather than doubling, so that the address
// space it takes stays close to what it holds (where ulimit -v bounds it).
constexpr std::size_t kGrowthStepWords = std::size_t{8} << 20;  // 32 MiB

std::size_t hashBytes(std::string_view bytes) {
  std::size_t hash = 14695981039346656037u;  // FNV-1a
  for (unsigned char c : bytes) hash = (hash ^ c) * 1099511628211u;
  return hash;
}

void copyWords(Word* where, std::span<const Word> words) {
  if (!words.empty()) std::memcpy(where, words.data(), words.size_bytes());
}

}  // namespace

TreeStore::TreeStore() : strings_(64, 0) {
  appendList(0, {});
}

TreeStore::~TreeStore() {
  std::free(words_);
}

void TreeStore::reallocate(std::size_t words) {
  std::size_t capacity = capacity_ ? capacity_ : kInitialWords;
  while (capacity < words) capacity += std::min(capacity, kGrowthStepWords);
  if (capacity > kMaxWords) throw std::bad_alloc();
  void* mapped = std::realloc(words_, capacity * sizeof(Word));
  if (mapped == nullptr) throw std::bad_alloc();
  words_ = static_cast<Word*>(mapped);
  capacity_ = capacity;
}

Word TreeStore::appendList(std::size_t count, std::span<const Word> elementWords) {
  return appendNode(static_cast<Word>(count), elementWords);
}

Word TreeStore::appendRecord(std::span<const Word> words) {
  Word index = static_cast<Word>(size_);
  copyWords(grow(words.size()), words);
  return index;
}

std::string_view TreeStore::stringAt(Word index) const {
  return std::string_view(reinterpret_cast<const char*>(words_ + index + 1), words_[index]);
}

Word TreeStore::intern(std::string_view bytes) {
  std::size_t mask = strings_.size() - 1;
  std::size_t slot = hashBytes(bytes) & mask;
  for (; strings_[slot] != 0; slot = (slot + 1) & mask)
    if (stringAt(strings_[slot]) == bytes) return strings_[slot];

  if (bytes.size() >= kMaxWords) throw std::bad_alloc();
  Word index = static_cast<Word>(size_);
  std::size_t payload = (bytes.size() + sizeof(Word) - 1) / sizeof(Word);
  Word* where = grow(1 + payload);
  where[0] = static_cast<Word>(bytes.size());
  where[payload] = 0;  // the padding of the last word
  std::memcpy(where + 1, bytes.data(), bytes.size());
  strings_[slot] = index;

  if (++stringCount_ * 2 > strings_.size()) {
    std::vector<Word> larger(strings_.size() * 2, 0);
    std::size_t largerMask = larger.size() - 1;
    for (Word record : strings_) {
      if (record == 0) continue;
      std::size_t s = hashBytes(stringAt(record)) & largerMask;
      while (larger[s] != 0) s = (s + 1) & largerMask;
      larger[s] = record;
    }
    strings_.swap(larger);
  }
  return index;
}

}  // namespace vrel::ast
