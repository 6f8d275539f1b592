// libFuzzer target: any bytes as a Vrel source file, through the front end, the AST reader and
// the translation to C, in one process. A semantic error is an expected outcome; AST text that
// the front end accepted and the reader rejects is a fault, reported as a crash.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>

#include "ast/reader.h"
#include "codegen/translate.h"
#include "frontend/frontend.h"
#include "memory_file.h"
#include "support/compile_error.h"
#include "support/exit_request.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static vrel::fuzz::MemoryFile source("source.vrel");
  static vrel::fuzz::MemoryFile ast("out.ast");
  source.assign(data, size);
  vrel_frontend_reset();
  try {
    if (vrel_parse_file(source.path(), ast.path()) != kFrontEndAccepted) return 0;
  } catch (const vrel::ExitRequest&) {
    return 0;
  }
  std::string text = ast.content();
  std::optional<vrel::ast::Prog> prog = vrel::ast::readProg(text);
  if (!prog) {
    std::cerr << "the reader rejects the front end's AST text:\n" << text << std::endl;
    std::abort();
  }
  std::ostringstream out;
  try {
    vrel::translate(out, *prog);
  } catch (const vrel::CompileError&) {
    // A semantic error in the program: the compiler reports it.
  }
  return 0;
}
