// The C generator's entry: the runtime prelude, then the C text of the program and one newline.
#pragma once

#include <ostream>

#include "ast/tree.h"

namespace vrel {

// Throws CompileError with the message of the first semantic or translation error.
void translate(std::ostream& out, const ast::Prog& prog);

}  // namespace vrel
