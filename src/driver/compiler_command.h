// The external C compiler: its command line and running it through the shell.
#pragma once

#include <string>
#include <string_view>

#include "driver/options.h"

namespace vrel {

// `text` as one shell word: unchanged when it is not empty and every byte is an ASCII letter, a
// digit or one of _ . / - + , = : @ %; otherwise between single quotes, each quote inside written
// as '\''.
std::string shellWord(std::string_view text);

// gccPath (or "gcc"), " -o " and the output file if one is set, " -w -std=gnu99", for a checked
// build the debugging and checking flags, the flags, a space and the C file. The output file and
// the C file are shell words, each after "./" when it starts with "-", so that the compiler never
// reads one as an option; the compiler and the flags are shell text, so that they may hold
// several words.
std::string compilerCommand(const Options& options, const std::string& cPath);

// Runs `command` with "/bin/sh -c", inheriting the standard streams, and waits for it. Returns its
// exit status, or 128 + the signal number when a signal ended it. Throws CompileError when the
// shell cannot be started.
int runShellCommand(const std::string& command);

}  // namespace vrel
