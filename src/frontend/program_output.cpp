#include "frontend/program_output.h"

#include <string>

#include "frontend/ast_layout.h"
#include "frontend/error_reporter.h"
#include "frontend/output_blocks.h"

namespace vrel::frontend {
namespace {

struct ProgramOutput {
  int fd = -1;
  const char* path = nullptr;
  AstLayout layout = AstLayout::kIndented;
  AstTextListener* listener = nullptr;
  std::vector<SourceSpan>* positions = nullptr;
  bool failed = false;
};

ProgramOutput output;

void report_write_failure() {
  if (!output.failed)
    diagnostic_sink().message(std::string("Error: cannot write output file: ") + output.path);
  output.failed = true;
}

}  // namespace

void program_output_begin(int fd, const char* path, AstLayout layout, AstTextListener* listener,
                          std::vector<SourceSpan>* positions) {
  output = {fd, path, layout, listener, positions, false};
}

bool write_program(NodeId root) {
  OutputBlocks blocks(output.fd, output.listener);
  write_ast_consuming(program_tree, root, output.layout, blocks, output.positions);
  blocks.put("\n");
  if (!blocks.finish()) report_write_failure();
  return !output.failed;
}

bool program_output_end(bool closed) {
  if (!closed) report_write_failure();
  output.fd = -1;
  output.listener = nullptr;
  output.positions = nullptr;
  return !output.failed;
}

}  // namespace vrel::frontend
