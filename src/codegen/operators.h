// The C texts of the arithmetic, relational and logical operators, each ending in a blank.
#pragma once

#include <string_view>

#include "ast/tree.h"

namespace vrel {

// Comparisons and connectives are conditions, never expression operators: they are rejected.
std::string_view binOpText(ast::BinOp op);
std::string_view relOpText(ast::RelOp op);
std::string_view logOpText(ast::LogOp op);

// The checked operation of a checked build, a macro of its prelude: "vrel_add" for `+`; empty
// for an operator that binOpText rejects.
std::string_view checkedOpName(ast::BinOp op);

}  // namespace vrel
