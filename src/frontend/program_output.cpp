#include "frontend/program_output.h"

#include "frontend/ast_writer.h"

namespace vrel::frontend {
namespace {

struct ProgramOutput {
  std::FILE* file = nullptr;
  const char* path = nullptr;
  AstLayout layout = AstLayout::kIndented;
  bool failed = false;
};

ProgramOutput output;

void report_write_failure() {
  if (!output.failed) std::fprintf(stderr, "Error: cannot write output file: %s\n", output.path);
  output.failed = true;
}

}  // namespace

void program_output_begin(std::FILE* file, const char* path, AstLayout layout) {
  output = {file, path, layout, false};
}

bool write_program(const TextBuffer& program) {
  AstWriter writer(output.file, output.layout == AstLayout::kIndented);
  writer.write(program);
  writer.newline();
  if (!writer.finish()) report_write_failure();
  return !output.failed;
}

bool program_output_end() {
  if (std::fclose(output.file) != 0) report_write_failure();
  output.file = nullptr;
  return !output.failed;
}

}  // namespace vrel::frontend
