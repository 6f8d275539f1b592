#include "codegen/translate.h"

#include "ast/compile_error.h"

namespace vrel {

void translate(std::ostream&, const ast::Prog&) {
  throw CompileError("translation not built yet");
}

}  // namespace vrel
