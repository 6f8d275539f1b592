// Where each run of 2^Bits keys begins in a sequence sorted by key, so that the elements near a
// key are found in a few steps rather than by a search of the whole sequence: the elements whose
// keys fall in the run of a key are those from `first` up to `last`, every element before them
// has a smaller key and every one after a larger key.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace vrel {

template <unsigned Bits>
class RunIndex {
 public:
  RunIndex() = default;  // of no element

  // `key` gives the key of an element; the sequence holds fewer than 2^32 of them.
  template <class Sorted, class Key>
  RunIndex(const Sorted& sorted, Key key) : starts_() {
    std::size_t runs = sorted.empty() ? 0 : (key(sorted.back()) >> Bits) + 1;
    starts_.reserve(runs + 1);
    std::size_t at = 0;
    for (std::size_t next = 0; next <= runs; ++next) {
      while (at < sorted.size() && (key(sorted[at]) >> Bits) < next) ++at;
      starts_.push_back(static_cast<std::uint32_t>(at));
    }
  }

  // The places [first, last) of the elements in the run of `key`; past the last run, both are
  // the number of elements.
  std::pair<std::ptrdiff_t, std::ptrdiff_t> run(std::uint64_t key) const {
    std::uint64_t at = key >> Bits;
    if (at + 1 >= starts_.size()) return {starts_.back(), starts_.back()};
    return {starts_[at], starts_[at + 1]};
  }

 private:
  std::vector<std::uint32_t> starts_{0};  // of each run, then the number of elements
};

}  // namespace vrel
