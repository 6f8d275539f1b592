#include "codegen/translate.h"

#include "codegen/checked_prelude.h"
#include "codegen/prelude.h"
#include "codegen/trans.h"

namespace vrel {

void Translation::writeTo(std::ostream& out) const {
  out << (checked_ ? checkedPrelude() : runtimePrelude());
  program_.writeTo(out);
  out << '\n';
}

Translation translateProgram(const ast::Prog& prog, const CheckedBuild* checked) {
  GenState state{{}, initialTable(), sharedNames(prog)};
  state.checked = checked;
  transProg(state, prog);
  return Translation(std::move(state.text), checked != nullptr);
}

void translate(std::ostream& out, const ast::Prog& prog) {
  translateProgram(prog).writeTo(out);
}

}  // namespace vrel
