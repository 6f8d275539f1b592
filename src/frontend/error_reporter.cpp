#include "frontend/error_reporter.h"

#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <string>

#include "frontend/source_input.h"
#include "support/exit_request.h"

namespace vrel::frontend {

std::int64_t line_number = 1;
std::int64_t error_count = 0;
ScanPosition scan;

namespace {

DiagnosticSink* sink = nullptr;

std::string numbered(const char* message) {
  ++error_count;
  char head[64];
  (void)std::snprintf(head, sizeof head, "Error %" PRId64 ": Line %" PRId64 ": ", error_count,
                      line_number);
  return head + std::string(message);
}

// How a character that cannot start a token is named: 'é' (U+00E9), '$', or a byte by its value.
std::string character_name(const char* bytes, std::size_t size) {
  auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
  char text[32];
  if (size == 1 && byte(0) >= 0x21 && byte(0) < 0x7F) {
    (void)std::snprintf(text, sizeof text, "the character '%c'", bytes[0]);
    return text;
  }
  if (size == 1) {
    (void)std::snprintf(text, sizeof text, "the byte 0x%02X", byte(0));
    return text;
  }
  std::uint32_t code = byte(0) & (0xFF >> (size + 1));
  for (std::size_t i = 1; i < size; ++i) code = code << 6 | (byte(i) & 0x3F);
  (void)std::snprintf(text, sizeof text, "' (U+%04" PRIX32 ")", code);
  return "the character '" + std::string(bytes, size) + text;
}

}  // namespace

void set_diagnostic_sink(DiagnosticSink* new_sink) {
  sink = new_sink;
}

DiagnosticSink& diagnostic_sink() {
  static Diagnostics plain("", {});
  return sink != nullptr ? *sink : plain;
}

void report_error(const char* message) {
  diagnostic_sink().report(numbered(message), std::nullopt);
}

void report_error(const char* message, const Located& where) {
  diagnostic_sink().report(numbered(message), where);
}

Location location_of(SourceSpan span, std::uint64_t line, std::uint64_t line_start) {
  Location where;
  where.line = line;
  where.column = span.begin - line_start + 1;
  where.endLine = line;
  where.endColumn = where.column + (span.end > span.begin ? span.end - span.begin : 1);
  where.textColumn = source_line(line_start, span.begin, where.lineText);
  return where;
}

void illegal_character(const char* bytes, std::size_t size, SourceSpan span) {
  for (std::size_t i = 1; i < size; ++i) report_error("Illegal token");
  std::string text;
  if (size == 1 && (bytes[0] == '"' || bytes[0] == '\'')) {
    text = bytes[0] == '"' ? "this string constant is not closed on its line, or holds an "
                             "escape that Vrel does not know"
                           : "this character constant is not closed, holds more than one "
                             "character, or an escape that Vrel does not know";
  } else {
    text = character_name(bytes, size) + " can only appear in a string or character constant";
  }
  report_error("Illegal token", {text, location_of(span, scan.line, scan.line_start)});
}

void comment_begins(SourceSpan span) {
  scan.comment = span;
  scan.comment_line = scan.line;
  scan.comment_line_start = scan.line_start;
}

void unfinished_comment() {
  Location where = location_of(scan.comment, scan.comment_line, scan.comment_line_start);
  report_error("Unfinished comment", {"this comment is never closed with '*)'", where});
}

void fail(const char* message, int status) {
  diagnostic_sink().message(message);
  throw ExitRequest{status};
}

void fail_reading(const char* message, int error) {
  diagnostic_sink().fileError(message, source_name(), std::strerror(error));
  throw ExitRequest{2};
}

}  // namespace vrel::frontend
