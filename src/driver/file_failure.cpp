#include "driver/file_failure.h"

#include <cstring>

#include "support/compile_error.h"

namespace vrel {

void failFileOperation(const std::string& what, int error) {
  throw CompileError("cannot " + what + ": " + std::strerror(error));
}

}  // namespace vrel
