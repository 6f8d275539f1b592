// One compilation: front end, AST text read back, then -p, -t or the C compiler.
#pragma once

#include "driver/options.h"
#include "driver/temp_files.h"

namespace vrel {

// Runs the stages for `options` (mode ModeAst, ModeC or ModeExec) and returns the run's exit
// status: 0, the front end's failure result, or the C compiler's status. An error of the general
// error path throws CompileError, an unreadable AST text std::logic_error, and a failure the front
// end has reported ExitRequest. On every path out the temporary files are gone, except the C file
// that a failed C compiler leaves for the user to examine.
int runCompiler(const Options& options);

// True when the run needs a temporary C file: to compile it, or to stage the -t output for -o.
bool needsCFile(const Options& options);

// The stages after the temporary files of `options` were reserved in `files`.
int compileWith(const Options& options, TempFiles& files);

// The stages after the front end has written the AST text to `files.ast()`.
int compileAstFile(const Options& options, TempFiles& files);

}  // namespace vrel
