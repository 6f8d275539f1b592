#include "frontend/frontend.h"

#include <cstdio>
#include <new>

#include "frontend/lexer.h"
#include "frontend/out_of_memory.h"
#include "frontend/program_output.h"
#include "frontend/text_buffer.h"
#include "parser.hpp"

int vrel_parse_file(const char* input_path, const char* output_path) {
  using namespace vrel::frontend;
  std::FILE* input = stdin;
  if (input_path != nullptr) {
    input = std::fopen(input_path, "rb");
    if (input == nullptr) {
      std::fprintf(stderr, "Error: cannot open input file: %s\n", input_path);
      return kFrontEndInputNotOpened;
    }
  }
  std::FILE* output = std::fopen(output_path, "wb");
  if (output == nullptr) {
    std::fprintf(stderr, "Error: cannot open output file: %s\n", output_path);
    if (input != stdin) std::fclose(input);
    return kFrontEndOutputNotWritten;
  }

  program_output_begin(output, output_path);
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
