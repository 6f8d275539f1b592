// Process-wide front-end counters and the reporter that numbers every lexical and syntax error.
#pragma once

#include <cstdint>

namespace vrel::frontend {

// The lexer's current line, from 1; 64 bits, so no input is long enough to wrap it.
extern std::int64_t line_number;
// Errors reported so far; numbering goes on from one call to the next until a reset.
extern std::int64_t error_count;

// Prints "Error <n>: Line <line>: <message>" to standard error with the next error number.
void report_error(const char* message);

// Prints `message` and a newline to standard error and throws vrel::ExitRequest{status}: the
// scanner's fatal errors end the run with status 2, exhausted memory with status 1.
[[noreturn]] void fail(const char* message, int status);

}  // namespace vrel::frontend
