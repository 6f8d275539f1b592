// libFuzzer target: any bytes as a Vrel source file, through the front end (writing the AST text
// flush left, as the compiler does), the AST reader and the translation to C, in one process. A
// semantic error is an expected outcome; AST text that the front end accepted and the reader
// rejects is a fault, reported as a crash. As in the compiler, the tree is read and walked on the
// large stack: a short source nests deep enough. A program that translates also translates as a
// checked build (-g), without lines; that one failing is a fault.
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
#include "support/large_stack.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static vrel::fuzz::MemoryFile source("source.vrel");
  static vrel::fuzz::MemoryFile ast("out.ast");
  source.assign(data, size);
  ast.clear();
  vrel_frontend_reset();
  try {
    int result = vrel_parse_fd(source.path(), ast.fd(), ast.path(), AstLayout::kFlushLeft);
    if (result != kFrontEndAccepted) return 0;
  } catch (const vrel::ExitRequest&) {
    return 0;
  }
  std::string text = ast.content();
  vrel::runWithLargeStack([&text] {
    std::optional<vrel::ast::Prog> prog = vrel::ast::readProg(text);
    if (!prog) {
      std::cerr << "the reader rejects the front end's AST text:\n" << text << std::endl;
      std::abort();
    }
    std::ostringstream out;
    try {
      vrel::translate(out, *prog);
    } catch (const vrel::CompileError&) {
      return;  // a semantic error in the program: the compiler reports it
    }
    vrel::CheckedBuild checked{"source.vrel"};
    vrel::translateProgram(*prog, &checked).writeTo(out);
  });
  return 0;
}
