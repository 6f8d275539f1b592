// The fixed C text at the head of a checked build (-g): the headers, `byte`, the run-time support
// that reports a fault in Vrel words, and the library routines with their size checks.
#pragma once

#include <string_view>

namespace vrel {

// The status with which a checked program ends after reporting a fault.
inline constexpr int kRunTimeErrorStatus = 3;

std::string_view checkedPrelude();

}  // namespace vrel
