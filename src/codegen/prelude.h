// The fixed C text at the head of every generated file: headers, `byte`, the runtime routines.
#pragma once

#include <string_view>

namespace vrel {

// The 66 prelude lines, each followed by a newline.
std::string_view runtimePrelude();

}  // namespace vrel
