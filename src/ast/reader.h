// The AST text reader: one `Prog` from the start of the text, or nothing when the text does not
// begin with a complete `Prog`. Whatever follows that value is ignored.
#pragma once

#include <optional>
#include <string_view>

#include "ast/tree.h"

namespace vrel::ast {

std::optional<Prog> readProg(std::string_view text);

}  // namespace vrel::ast
