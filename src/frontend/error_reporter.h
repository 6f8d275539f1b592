// Process-wide front-end counters and the reporter that numbers every lexical and syntax error.
#pragma once

namespace vrel::frontend {

// The lexer's current line, from 1; never reset.
extern int line_number;
// Errors reported so far; never reset, so numbering continues across calls.
extern int error_count;

// Prints "Error <n>: Line <line>: <message>" to standard error with the next error number.
void report_error(const char* message);

}  // namespace vrel::frontend
