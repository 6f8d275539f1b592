// Process-wide front-end counters, the scanner's place in the source, and the reporter that
// numbers every lexical and syntax error.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "support/diagnostics.h"
#include "support/source_location.h"

namespace vrel::frontend {

// The lexer's current line, from 1; 64 bits, so no input is long enough to wrap it.
extern std::int64_t line_number;
// Errors reported so far; numbering goes on from one call to the next until a reset.
extern std::int64_t error_count;

// Where the scanner is in the source of the current call, in bytes from its first byte.
struct ScanPosition {
  std::uint64_t line = 1;          // of the current call's source, from 1
  std::uint64_t line_start = 0;    // where the current line begins (after a byte-order mark)
  std::uint64_t last_end = 0;      // of the token the scanner returned last
  std::uint64_t previous_end = 0;  // of the one before it
  SourceSpan comment;              // the "(*" of the block comment being skipped
  std::uint64_t comment_line = 1;
  std::uint64_t comment_line_start = 0;
};
extern ScanPosition scan;

// Where the messages of the current call go; standard error, without blocks, when null.
void set_diagnostic_sink(DiagnosticSink* sink);
DiagnosticSink& diagnostic_sink();

// Prints "Error <n>: Line <line>: <message>" with the next error number, and the block of
// `where` when it is given.
void report_error(const char* message);
void report_error(const char* message, const Located& where);

// The place of `span`, on the line that starts at `line_start`.
Location location_of(SourceSpan span, std::uint64_t line, std::uint64_t line_start);

// The lexer's errors: bytes that start no token (one message each, then one block naming the
// character), and a block comment still open at the end of the input.
void illegal_character(const char* bytes, std::size_t size, SourceSpan span);
void comment_begins(SourceSpan span);
void unfinished_comment();

// Reports `message` and throws vrel::ExitRequest{status}: the
// scanner's fatal errors end the run with status 2, exhausted memory with status 1.
[[noreturn]] void fail(const char* message, int status);
// The same for a failed read of the source, with the system's reason for it.
[[noreturn]] void fail_reading(const char* message, int error);

}  // namespace vrel::frontend
