// The external C compiler: its command line and running it through the shell.
#pragma once

#include <string>

#include "driver/options.h"

namespace vrel {

// gccPath (or "gcc"), " -o " and the output file if one is set, " -w -std=gnu99", the flags, a
// space and the C file. Nothing is quoted: the shell interprets the whole text.
std::string compilerCommand(const Options& options, const std::string& cPath);

// Runs `command` with "/bin/sh -c", inheriting the standard streams, and waits for it. Returns its
// exit status, or 128 + the signal number when a signal ended it. Throws CompileError when the
// shell cannot be started.
int runShellCommand(const std::string& command);

}  // namespace vrel
