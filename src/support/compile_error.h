// The one error type of the stages after the front end: a semantic or translation error, or a
// failed file operation. It unwinds to main, which prints "vrelc: " + message and exits with 1.
#pragma once

#include <stdexcept>
#include <string>

namespace vrel {

class CompileError : public std::runtime_error {
 public:
  explicit CompileError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace vrel
