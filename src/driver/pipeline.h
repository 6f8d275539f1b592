// One compilation: front end, AST text read back, then -p, -t or the C compiler.
#pragma once

#include "driver/options.h"
#include "driver/temp_files.h"

namespace vrel {

// Runs the stages for `options` (mode ModeAst, ModeC or ModeExec) and ends the process with the
// run's exit status. Errors of the general error path are thrown as CompileError; main reports
// them as the program name, ": " and the message, with exit status 1.
[[noreturn]] void runCompiler(const Options& options);

// The stages after the front end has written the AST text to `files.astPath`: read it back, then
// print it, translate it, or translate it to `files.cPath` and run the C compiler. Ends the
// process like runCompiler.
[[noreturn]] void compileAstFile(const Options& options, const TempFiles& files);

}  // namespace vrel
