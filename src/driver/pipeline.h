// One compilation: front end, AST text read back, then -p, -t or the C compiler.
#pragma once

#include <string>

#include "driver/options.h"

namespace vrel {

// Runs the stages for `options` (mode ModeAst, ModeC or ModeExec) and ends the process with the
// run's exit status. `programName` prefixes the messages of the general error path.
[[noreturn]] void runCompiler(const Options& options, const std::string& programName);

}  // namespace vrel
