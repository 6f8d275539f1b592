#include "ast/source_map.h"
#include "codegen/checked_text.h"
#include "codegen/escape.h"
#include "codegen/operators.h"
#include "codegen/trans.h"
#include "semantic/operand.h"
#include "support/compile_error.h"
#include "support/overloaded.h"

namespace vrel {

using namespace ast;

namespace {

void emitNumber(GenState& state, long long value) {
  emitDecimal(state, value);
  emit(state, " ");
}

// A C character constant above 127 is negative: such a byte is written as its number.
void transChar(GenState& state, const Text& text) {
  if (text.size() == 1 && static_cast<unsigned char>(text[0]) > 127) {
    emitNumber(state, static_cast<unsigned char>(text[0]));
    return;
  }
  emit(state, "'");
  escapeLiteral(text, state.text);
  emit(state, "'");
}

// A checked build negates through a check, except a number: -2147483648 is written as such.
ValueType transUnop(GenState& state, const Eunop& e) {
  bool checked = false;
  switch (e.op) {
    case UnOp::UOplus:
      break;
    case UnOp::UOminus:
      checked = state.checked && !e.operand.is<Enum>();
      emit(state, checked ? "vrel_neg(" : "- ");
      break;
    case UnOp::UOarrsz:
      throw CompileError("unsupported operator in expression");
  }
  ValueType operand = transExpr(state, e.operand);
  requireScalar(operand, e.operand);
  if (checked) emit(state, ") ");
  return e.op == UnOp::UOplus ? operand : kIntValue;
}

// A checked build computes through the checks of the prelude, in C's grouping of calls.
ValueType transBinop(GenState& state, const Ebinop& e) {
  if (state.checked) {
    emit(state, checkedOpName(e.op));
    emit(state, "(");
  }
  requireScalar(transExpr(state, e.left), e.left);
  std::string_view text = binOpText(e.op);
  emit(state, state.checked ? ", " : text);
  requireScalar(transExpr(state, e.right), e.right);
  if (state.checked) emit(state, ") ");
  return kIntValue;
}

}  // namespace

ValueType transExpr(GenState& state, const Expr& expr) try {
  return std::visit(Overloaded{
                        [&](const Enum& e) {
                          emitNumber(state, e.value);
                          return valueType(constType(C_int{e.value}));
                        },
                        [&](const Echar& e) {
                          transChar(state, e.text);
                          return valueType(constType(C_char{e.text}));
                        },
                        [&](const Elval& e) { return transLValue(state, e.lvalue); },
                        [&](const Eunop& e) { return transUnop(state, e); },
                        [&](const Ebinop& e) { return transBinop(state, e); },
                        [&](const Ecall& e) {
                          const RetType& result = transCall(state, e.call);
                          emit(state, ") ");
                          auto type = result.get_if<Rtype>();
                          if (!type) {
                            throw CompileError("invalid call to non-function " + e.call.name);
                          }
                          return valueType(type->type);
                        },
                        [&](const Eparen& e) {
                          emit(state, "(");
                          ValueType type = transExpr(state, e.expr);
                          emit(state, ")");
                          return type;
                        },
                    },
                    expr.variant());
} catch (CompileError& error) {
  error.placeAt(refOf(expr));
  throw;
}

// A by-reference scalar parameter is read and written through its pointer; an array name is
// never dereferenced.
ValueType transLValue(GenState& state, const LValue& lvalue) try {
  return std::visit(Overloaded{
                        [&](const LPrim& lv) {
                          const VarEntry& var = lookupVar(state.table, lv.name);
                          ValueType type = valueType(var.type);
                          if (heldByPointer(var.type, var.byRef)) {
                            emit(state, "(*");
                            emitVarName(state, lv.name);
                            emit(state, ")");
                          } else {
                            emitVarName(state, lv.name);
                            emit(state, " ");
                          }
                          return type;
                        },
                        [&](const LArr& lv) {
                          ValueType element =
                              elementType(lookupVar(state.table, lv.name).type, lv.name);
                          emitVarName(state, lv.name);
                          emit(state, state.checked ? " [vrel_index(" : " [");
                          requireScalar(transExpr(state, lv.index), lv.index);
                          if (state.checked) {
                            emit(state, ", vrel_n_");
                            emit(state, lv.name);
                            emit(state, ", ");
                            emitCString(state, lv.name);
                            emit(state, ")");
                          }
                          emit(state, "] ");
                          return element;
                        },
                        [&](const Lstr& lv) {
                          emit(state, "\"");
                          escapeLiteral(lv.text, state.text);
                          emit(state, "\"");
                          return valueType(constType(C_str{lv.text}));
                        },
                    },
                    lvalue.variant());
} catch (CompileError& error) {
  error.placeAt(refOf(lvalue));
  throw;
}

}  // namespace vrel
