#include "codegen/translate.h"

#include "codegen/prelude.h"
#include "codegen/trans.h"

namespace vrel {

void Translation::writeTo(std::ostream& out) const {
  out << runtimePrelude();
  program_.writeTo(out);
  out << '\n';
}

Translation translateProgram(const ast::Prog& prog) {
  GenState state{{}, initialTable(), sharedNames(prog)};
  transProg(state, prog);
  return Translation(std::move(state.text));
}

void translate(std::ostream& out, const ast::Prog& prog) {
  translateProgram(prog).writeTo(out);
}

}  // namespace vrel
