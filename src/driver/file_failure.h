// How the driver reports a failed file operation: CompileError "cannot " + what + ": " and the
// system's text for the error.
#pragma once

#include <string>

namespace vrel {

// `what` names the operation and the file: "write out.c", "open x.c for writing".
[[noreturn]] void failFileOperation(const std::string& what, int error);

}  // namespace vrel
