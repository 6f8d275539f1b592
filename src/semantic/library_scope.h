// The outermost scope: the signatures of the runtime routines every program may call.
#pragma once

#include <memory>

#include "semantic/symbol_table.h"

namespace vrel {

std::shared_ptr<Scope> makeLibraryScope();

}  // namespace vrel
