#include "frontend/frontend.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <new>

#include "frontend/error_reporter.h"
#include "frontend/lexer.h"
#include "frontend/program_output.h"
#include "frontend/source_input.h"
#include "frontend/syntax_tree.h"
#include "parser.hpp"

namespace {

using namespace vrel::frontend;

// Frees what one call holds, so that the next call starts clean whichever way this one ended.
void release_call_state() {
  vrel_yylex_destroy();
  vrel_parser_release();
  program_tree.release();
  source_close();
}

bool open_source(const char* input_path) {
  if (source_open(input_path)) return true;
  (void)std::fprintf(stderr, "Error: cannot open input file: %s\n", input_path);
  return false;
}

// Parses the open source into `output_fd`. A lexical error fails a source that parses; its text
// is written all the same, as for a syntax error after the main function.
int run_parser(int output_fd, const char* output_path, AstLayout layout,
               AstTextListener* listener) {
  program_output_begin(output_fd, output_path, layout, listener);
  vrel_lexer_start();
  std::int64_t errors_before = error_count;
  int result = kFrontEndAccepted;
  try {
    result = vrel_yyparse();
  } catch (const std::bad_alloc&) {
    release_call_state();
    fail("Out of memory", 1);
  } catch (...) {
    release_call_state();
    throw;
  }
  release_call_state();
  if (result == kFrontEndAccepted && error_count != errors_before) result = kFrontEndSyntaxError;
  return result;
}

}  // namespace

void vrel_frontend_reset() {
  line_number = 1;
  error_count = 0;
}

int vrel_parse_file(const char* input_path, const char* output_path) {
  if (!open_source(input_path)) return kFrontEndInputNotOpened;
  int fd = ::open(output_path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) {
    (void)std::fprintf(stderr, "Error: cannot open output file: %s\n", output_path);
    source_close();
    return kFrontEndOutputNotWritten;
  }
  int result = kFrontEndAccepted;
  try {
    result = run_parser(fd, output_path, AstLayout::kIndented, nullptr);
  } catch (...) {
    ::close(fd);
    throw;
  }
  bool closed = ::close(fd) == 0;
  return program_output_end(closed) ? result : kFrontEndOutputNotWritten;
}

int vrel_parse_fd(const char* input_path, int output_fd, const char* output_path, AstLayout layout,
                  AstTextListener* listener) {
  if (!open_source(input_path)) return kFrontEndInputNotOpened;
  int result = run_parser(output_fd, output_path, layout, listener);
  return program_output_end(true) ? result : kFrontEndOutputNotWritten;
}
