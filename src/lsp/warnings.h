// The mistakes the compiler lets pass and the editor points out, as warnings: a function that
// can reach its end without `return`; a comparison of a byte that its range 0 to 255 decides; a
// variable read where nothing can have been assigned to it yet; a local variable or function
// never used; a local array too large for the stack; strcpy or strcat into a string constant.
#pragma once

#include <vector>

#include "ast/source_map.h"
#include "ast/tree.h"
#include "lsp/analysis.h"
#include "lsp/symbol_index.h"

namespace vrel::lsp {

// A local array of more bytes than this may not fit on the stack.
inline constexpr std::int64_t kLargeArrayBytes = std::int64_t{4} << 20;

// In no particular order.
std::vector<Finding> warnings(const ast::Prog& prog, const ast::SourceMap& map,
                              const SymbolIndex& index);

}  // namespace vrel::lsp
