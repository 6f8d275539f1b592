#include <algorithm>

#include "codegen/checked_text.h"
#include "codegen/trans.h"
#include "semantic/operand.h"
#include "support/compile_error.h"

namespace vrel {

using namespace ast;

namespace {

// Each argument that pairs up with a parameter is translated and checked before a count mismatch
// is reported.
void transActuals(GenState& state, const FuncCall& call, const FuncSig& sig) {
  const List<Expr>& args = call.args;
  std::size_t paired = std::min(sig.paramModes.size(), args.size());
  for (std::size_t i = 0; i < paired; ++i) {
    const Type& param = sig.paramTypes[i];
    bool byRef = sig.paramModes[i];
    // A parameter held through a pointer is given the argument's address.
    if (heldByPointer(param, byRef)) emit(state, "&");
    ValueType type = transExpr(state, args[i]);
    checkArgument(call.name, i + 1, param, byRef, args[i], type);
    if (state.checked && param.is<TArr>()) {
      emitArrayCount(state, args[i], isLibraryFunc(state.table, call.name));
    }
    if (i + 1 < args.size()) emit(state, ", ");
  }
  if (sig.paramModes.size() != args.size()) {
    throw CompileError("wrong number of arguments in call to " + call.name);
  }
}

}  // namespace

const RetType& transCall(GenState& state, const FuncCall& call) {
  emitFuncName(state, call.name);
  emit(state, "(");
  const FuncSig& sig = lookupFunc(state.table, call.name);
  transActuals(state, call, sig);
  return sig.result;
}

}  // namespace vrel
