#include "codegen/translate.h"

#include "codegen/prelude.h"
#include "codegen/trans.h"

namespace vrel {

// The whole text is built before anything is written, so a failed translation writes nothing.
void translate(std::ostream& out, const ast::Prog& prog) {
  GenState state{{}, initialTable(), sharedNames(prog)};
  transProg(state, prog);
  out << runtimePrelude() << state.text << '\n';
}

}  // namespace vrel
