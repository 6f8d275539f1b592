// One compilation: front end, AST text read back, then -p, -t or the C compiler.
#pragma once

#include <functional>

#include "driver/options.h"
#include "driver/temp_files.h"
#include "frontend/frontend.h"
#include "support/diagnostics.h"

namespace vrel {

// Runs the stages for `options` (mode ModeAst, ModeC or ModeExec) and returns the run's exit
// status: 0, the front end's failure result, or the C compiler's status. An error of the general
// error path throws CompileError, an unreadable AST text std::logic_error, and a failure the front
// end has reported ExitRequest. On every path out the temporary files are gone, except the C file
// that a failed C compiler leaves for the user to examine.
// Messages go through `diagnostics`.
int runCompiler(const Options& options, Diagnostics& diagnostics);

// True when the run needs a temporary C file: to compile it.
bool needsCFile(const Options& options);

// A front end: writes the AST text of the source of `options` through the descriptor of
// `astFile`, shows each block written to `listener` (when not null), and returns one of the
// results of vrel_parse_fd.
using FrontEnd =
    std::function<int(const Options& options, const TempFile& astFile, AstTextListener* listener)>;

// The real one, vrel_parse_fd: indented text for -p, flush left otherwise; its messages go
// through `diagnostics` when it is given.
int runFrontEnd(const Options& options, const TempFile& astFile, AstTextListener* listener);
FrontEnd frontEndReportingTo(Diagnostics& diagnostics);

// The stages after the temporary files of `options` were reserved in `files`.
int compileWith(const Options& options, TempFiles& files, const FrontEnd& frontEnd);

}  // namespace vrel
