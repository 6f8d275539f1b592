// Where the nodes of a tree read from AST text came from in the source: the front end's span of
// every constructor name of the text, joined with the reader's index of the nodes.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "ast/reader.h"
#include "ast/tree.h"
#include "support/compile_error.h"
#include "support/run_index.h"
#include "support/source_location.h"

namespace vrel::ast {

// The place of a node or a parameter read from AST text; nothing for one the program built.
template <class... Alts>
std::optional<NodeRef> refOf(const Node<Alts...>& node) {
  if (!node.storeIndex()) return std::nullopt;
  return NodeRef{node.storeIndex(), 0};
}
std::optional<NodeRef> refOf(const Param& param);
// The main function: the name after "Prog".
inline NodeRef mainFunctionRef() {
  return {std::nullopt, 1};
}

class SourceMap {
 public:
  SourceMap(std::vector<SourceSpan> positions, NodeIndex index);

  std::optional<SourceSpan> span(const NodeRef& ref) const;
  std::optional<SourceSpan> span(const std::optional<NodeRef>& ref) const {
    return ref ? span(*ref) : std::nullopt;
  }
  template <class... Alts>
  std::optional<SourceSpan> span(const Node<Alts...>& node) const {
    return span(refOf(node));
  }
  // A parameter spans from its name to its type's end.
  std::optional<SourceSpan> span(const Param& param) const { return span(refOf(param)); }

 private:
  std::vector<SourceSpan> positions_;
  NodeIndex index_;
  // The entries of the nodes stored in each run of 8 words of the tree: a few at most.
  RunIndex<3> runs_;
};

}  // namespace vrel::ast
