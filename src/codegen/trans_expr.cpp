#include <algorithm>
#include <string>

#include "codegen/escape.h"
#include "codegen/operators.h"
#include "codegen/trans.h"
#include "semantic/operand.h"
#include "support/compile_error.h"
#include "support/overloaded.h"

namespace vrel {

using namespace ast;

namespace {

Type namedType(const GenState& state, const Name& name) {
  return valType(state.table, V_obj{O_var{name}});
}

// Whether a by-reference argument is written with a leading "&". Arrays and string constants
// already are addresses.
bool needsAddress(const GenState& state, const Expr& arg) {
  const auto* elval = arg.get_if<Elval>();
  if (!elval) return true;
  return std::visit(Overloaded{
                        [&](const LPrim& lv) { return namedType(state, lv.name).is<TPrim>(); },
                        [](const LArr&) { return true; },
                        [](const Lstr&) { return false; },
                    },
                    elval->lvalue.variant());
}

void transByRef(GenState& state, const Expr& arg) {
  if (!needsAddress(state, arg)) return transExpr(state, arg);
  // The address of a whole sum, not of its first operand.
  if (arg.is<Ebinop>()) {
    emit(state, "&(");
    transExpr(state, arg);
    emit(state, ")");
    return;
  }
  emit(state, "&");
  transExpr(state, arg);
}

// Arguments that pair up with parameters are translated before a count mismatch is reported.
void transActuals(GenState& state, const Name& callee, const std::vector<bool>& byRef,
                  const std::vector<Expr>& args) {
  std::size_t paired = std::min(byRef.size(), args.size());
  for (std::size_t i = 0; i < paired; ++i) {
    if (byRef[i]) {
      transByRef(state, args[i]);
    } else {
      transExpr(state, args[i]);
    }
    if (i + 1 < args.size()) emit(state, ", ");
  }
  if (byRef.size() != args.size()) {
    throw CompileError("wrong number of arguments in call to " + callee);
  }
}

// A C character constant above 127 is negative: such a byte is written as its number.
void transChar(GenState& state, const Text& text) {
  if (text.size() == 1 && static_cast<unsigned char>(text[0]) > 127) {
    emit(state, std::to_string(static_cast<unsigned char>(text[0])) + " ");
  } else {
    emit(state, "'" + escapeLiteral(text) + "'");
  }
}

}  // namespace

RetType transCall(GenState& state, const FuncCall& call) {
  emit(state, "vrel__" + call.name + "(");
  FuncSig sig = lookupFunc(state.table, call.name);
  transActuals(state, call.name, sig.paramModes, call.args);
  return sig.result;
}

void transExpr(GenState& state, const Expr& expr) {
  std::visit(Overloaded{
                 [&](const Enum& e) { emit(state, std::to_string(e.value) + " "); },
                 [&](const Echar& e) { transChar(state, e.text); },
                 [&](const Elval& e) { transLValue(state, e.lvalue); },
                 [&](const Eunop& e) {
                   switch (e.op) {
                     case UnOp::UOplus:
                       break;
                     case UnOp::UOminus:
                       emit(state, "- ");
                       break;
                     case UnOp::UOarrsz:
                       throw CompileError("unsupported operator in expression");
                   }
                   transExpr(state, e.operand);
                 },
                 [&](const Ebinop& e) {
                   transExpr(state, e.left);
                   emit(state, binOpText(e.op));
                   transExpr(state, e.right);
                 },
                 [&](const Ecall& e) {
                   RetType result = transCall(state, e.call);
                   emit(state, ") ");
                   if (result.is<Rnothing>()) {
                     throw CompileError("invalid call to non-function " + e.call.name);
                   }
                 },
                 [&](const Eparen& e) {
                   emit(state, "(");
                   transExpr(state, e.expr);
                   emit(state, ")");
                 },
             },
             expr.variant());
}

// A by-reference scalar parameter is read and written through its pointer; an array name is
// never dereferenced.
void transLValue(GenState& state, const LValue& lvalue) {
  std::visit(
      Overloaded{
          [&](const LPrim& lv) {
            if (namedType(state, lv.name).is<TPrim>() && objRef(state.table, O_var{lv.name})) {
              emit(state, "(*");
              emitVarName(state, lv.name);
              emit(state, ")");
            } else {
              emitVarName(state, lv.name);
              emit(state, " ");
            }
          },
          [&](const LArr& lv) {
            emitVarName(state, lv.name);
            emit(state, " [");
            transExpr(state, lv.index);
            emit(state, "] ");
          },
          [&](const Lstr& lv) { emit(state, "\"" + escapeLiteral(lv.text) + "\""); },
      },
      lvalue.variant());
}

}  // namespace vrel
