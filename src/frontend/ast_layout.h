// Lays out a syntax tree as AST text: one iterative walk over the nodes, each written by its
// kind's template, straight into output blocks. Nesting depth costs heap, not call stack.
#pragma once

#include <vector>

#include "frontend/frontend.h"
#include "frontend/output_blocks.h"
#include "frontend/syntax_tree.h"

namespace vrel::frontend {

// Writes the fragment of `root` and its descendants; stops early once a write has failed.
void write_ast(const SyntaxTree& tree, NodeId root, AstLayout layout, OutputBlocks& out);

// The same, giving the tree's memory back to the system as the walk leaves it behind (see
// SyntaxTree::done_with_node): afterwards `tree` is good for nothing but release(). With
// `positions`, appends the span of every constructor name written, in the order written.
void write_ast_consuming(SyntaxTree& tree, NodeId root, AstLayout layout, OutputBlocks& out,
                         std::vector<SourceSpan>* positions = nullptr);

}  // namespace vrel::frontend
