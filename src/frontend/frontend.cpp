#include "frontend/frontend.h"

#include <unistd.h>

#include <cstdio>
#include <new>

#include "frontend/error_reporter.h"
#include "frontend/lexer.h"
#include "frontend/out_of_memory.h"
#include "frontend/program_output.h"
#include "frontend/text_buffer.h"
#include "parser.hpp"

namespace {

using namespace vrel::frontend;

// Opens the source, then the output with `open_output`, and runs the parser over them.
template <class OpenOutput>
int parse(const char* input_path, const char* output_path, AstLayout layout,
          OpenOutput open_output) {
  std::FILE* input = stdin;
  if (input_path != nullptr) {
    input = std::fopen(input_path, "rb");
    if (input == nullptr) {
      std::fprintf(stderr, "Error: cannot open input file: %s\n", input_path);
      return kFrontEndInputNotOpened;
    }
  }
  std::FILE* output = open_output();
  if (output == nullptr) {
    std::fprintf(stderr, "Error: cannot open output file: %s\n", output_path);
    if (input != stdin) std::fclose(input);
    return kFrontEndOutputNotWritten;
  }

  program_output_begin(output, output_path, layout);
  vrel_yyin = input;
  int result = 0;
  try {
    result = vrel_yyparse();
  } catch (const std::bad_alloc&) {
    out_of_memory();
  }
  // Each call scans its own input from the normal state; line number and error count go on.
  vrel_yylex_destroy();
  buf_release_all();

  if (input != stdin) std::fclose(input);
  if (!program_output_end()) return kFrontEndOutputNotWritten;
  return result;
}

}  // namespace

void vrel_frontend_reset() {
  vrel::frontend::line_number = 1;
  vrel::frontend::error_count = 0;
}

int vrel_parse_file(const char* input_path, const char* output_path) {
  return parse(input_path, output_path, AstLayout::kIndented,
               [&] { return std::fopen(output_path, "wb"); });
}

int vrel_parse_fd(const char* input_path, int output_fd, const char* output_path,
                  AstLayout layout) {
  return parse(input_path, output_path, layout, [&]() -> std::FILE* {
    int own = ::dup(output_fd);
    if (own < 0) return nullptr;
    std::FILE* output = ::fdopen(own, "wb");
    if (output == nullptr) ::close(own);
    return output;
  });
}
