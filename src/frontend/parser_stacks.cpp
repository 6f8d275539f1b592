#include <algorithm>
#include <array>
#include <cstdlib>
#include <new>

#include "frontend/parser_support.h"

namespace {

// A parser holds at most two blocks of its stacks at a time (the old one while it is copied),
// and as many of its look-ahead correction's stack.
std::array<void*, 4> heap_stacks{};

}  // namespace

void* parser_stack_allocate(std::size_t size) {
  void* block = std::malloc(size);
  if (block == nullptr) throw std::bad_alloc();
  *std::find(heap_stacks.begin(), heap_stacks.end(), nullptr) = block;
  return block;
}

void parser_stack_free(void* block) {
  *std::find(heap_stacks.begin(), heap_stacks.end(), block) = nullptr;
  std::free(block);
}

void vrel_parser_release() {
  for (void*& block : heap_stacks) {
    std::free(block);
    block = nullptr;
  }
}
