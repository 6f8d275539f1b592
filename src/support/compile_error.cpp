#include "support/compile_error.h"

#include <cstring>

namespace vrel {

void failOnFile(const std::string& verb, const std::string& path, int error,
                const std::string& rest) {
  std::string reason = std::strerror(error);
  throw CompileError("cannot " + verb + " " + path + rest + ": " + reason,
                     FileProblem{path, reason});
}

}  // namespace vrel
