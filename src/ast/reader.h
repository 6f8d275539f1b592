// The AST text reader: one `Prog` from the start of the text, or nothing when the text does not
// begin with a complete `Prog`. Whatever follows that value is ignored. The tree lives in storage
// of its own, held by the `Prog`; the text itself is not kept.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "ast/text_scanner.h"
#include "ast/tree.h"

namespace vrel::ast {

// The text nests deeper than the stack of the calling thread lets the later stages walk.
// `name` counts the constructor names of the text before the value that went too deep.
class NestingTooDeep : public std::runtime_error {
 public:
  explicit NestingTooDeep(std::uint64_t name = 0)
      : std::runtime_error("the program is nested too deeply for the available stack"),
        name_(name) {}
  std::uint64_t name() const { return name_; }

 private:
  std::uint64_t name_;
};

// Which constructor name of the text each node of the tree was read from: the store index of
// every node, in increasing order, with the number of constructor names before its own.
struct NodeIndex {
  struct Entry {
    Word node;
    std::uint64_t name;
  };
  std::vector<Entry> nodes;
};

// Both throw NestingTooDeep, and std::bad_alloc when memory runs out. With `index`, fill it.
std::optional<Prog> readProg(std::string_view text, NodeIndex* index = nullptr);
std::optional<Prog> readProg(ByteSource& source, NodeIndex* index = nullptr);

}  // namespace vrel::ast
