// The outermost scope: the signatures of the runtime routines every program may call.
#pragma once

#include <memory>
#include <string_view>

#include "semantic/symbol_table.h"

namespace vrel {

std::shared_ptr<Scope> makeLibraryScope();

// Whether `name` is the name of one of the fourteen runtime routines.
bool isLibraryRoutineName(std::string_view name);

}  // namespace vrel
