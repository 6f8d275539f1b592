// Names that one program gives both to a variable or parameter and to a function or a library
// routine it calls. C cannot tell the two apart where both are visible, so every variable and
// parameter of such a name is written "vrel_v_" + name; all other names are "vrel__" + name.
#pragma once

#include <string_view>
#include <unordered_set>

#include "ast/tree.h"

namespace vrel {

using NameSet = std::unordered_set<std::string_view>;

// The names to write with "vrel_v_", by name over the whole program rather than by binding. The
// views point into the tree.
NameSet sharedNames(const ast::Prog& prog);

}  // namespace vrel
