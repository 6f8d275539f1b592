#include "ast/source_map.h"
#include "codegen/checked_text.h"
#include "codegen/trans.h"
#include "semantic/operand.h"
#include "support/compile_error.h"
#include "support/overloaded.h"

namespace vrel {
namespace {

using namespace ast;

// A byte is the prelude's unsigned `byte`: a plain C char is signed here.
std::string_view primText(DataType data) {
  return data == DataType::Dinteger ? "int " : "byte ";
}

void transPrim(GenState& state, DataType data) {
  emit(state, primText(data));
}

DataType innermostElement(const Type& type) {
  auto arr = type.get_if<TArr>();
  return arr ? innermostElement(arr->element) : type.get_if<TPrim>()->data;
}

// An array is written as its innermost element type; the brackets follow the name.
void transType(GenState& state, const Type& type) {
  std::visit(Overloaded{
                 [&](const TPrim& prim) { transPrim(state, prim.data); },
                 [&](const TArr& arr) { transType(state, arr.element); },
             },
             type.variant());
}

void transRetType(GenState& state, const RetType& result) {
  std::visit(Overloaded{
                 [&](const Rnothing&) { emit(state, "void "); },
                 [&](const Rtype& r) { transType(state, r.type); },
             },
             result.variant());
}

// Appends the parameter's type and answers whether it is an array.
bool paramType(GenState& state, const Type& type) {
  return std::visit(Overloaded{
                        [&](const TPrim& prim) {
                          transPrim(state, prim.data);
                          return false;
                        },
                        [&](const TArr& arr) {
                          transType(state, arr.element);
                          return true;
                        },
                    },
                    type.variant());
}

// Arrays are C arrays whatever their mode; a parameter held through a pointer is one.
void transParams(GenState& state, const List<Param>& params) {
  for (std::size_t i = 0; i < params.size(); ++i) {
    const Param& param = params[i];
    bool isArray = paramType(state, param.type);
    if (heldByPointer(param.type, param.mode == PassMode::ByRef)) emit(state, "*");
    emitVarName(state, param.name);
    if (isArray) emit(state, "[]");
    if (isArray && state.checked) {
      emit(state, ", int vrel_n_");
      emit(state, param.name);
    }
    if (i + 1 < params.size()) emit(state, ", ");
  }
}

void transHeader(GenState& state, const FuncDef& func) {
  transRetType(state, func.result);
  emitFuncName(state, func.name);
  emit(state, "(");
  transParams(state, func.params);
  emit(state, ") {\n");
}

void transVarDef(GenState& state, const VarDef& var, const LocalDef& local) {
  state.table = addVar(std::move(state.table), var.name, var.type, refOf(local));
  const ast::TreeStore* store = local.store();
  checkVarDef(var, store != nullptr ? store->oversizedArray(*local.storeIndex()) : nullptr);
  if (state.checked && var.size > 0) {
    emitLineDirective(state, sourceLines(state, refOf(local)).first);
    emitCheckedArray(state, var, primText(innermostElement(var.type)));
    return;
  }
  transType(state, var.type);
  emitVarName(state, var.name);
  if (var.size > 0) {
    emit(state, "[");
    emitDecimal(state, var.size);
    emit(state, "]");
  }
  emit(state, ";\n");
}

void transLocal(GenState& state, const LocalDef& local) try {
  std::visit(Overloaded{
                 [&](const LFunc& f) { transFunc(state, f.func, refOf(local)); },
                 [&](const LVar& v) { transVarDef(state, v.var, local); },
             },
             local.variant());
} catch (CompileError& error) {
  error.placeAt(refOf(local));
  throw;
}

}  // namespace

// The function is declared before anything of it is written, so that it can call itself. The
// main function is the one translated outside any other.
void transFunc(GenState& state, const FuncDef& func, std::optional<NodeRef> at) {
  LineSpan lines = sourceLines(state, at);
  const FuncDef* enclosing = state.function;
  state.function = &func;
  state.table = addFunc(std::move(state.table), func.name, func.result, func.params, at);
  state.table = openScope(std::move(state.table));
  for (const Param& param : func.params) state.table = addParam(std::move(state.table), param);
  checkHeader(func, enclosing == nullptr);
  if (state.checked) emitLineDirective(state, lines.first);
  transHeader(state, func);
  if (state.checked) emitFrame(state, func, lines);
  for (const LocalDef& local : func.locals) transLocal(state, local);
  transStmt(state, func.body);
  state.table = closeScope(std::move(state.table));
  if (state.checked) {
    emitCheckedFunctionEnd(state, func, enclosing == nullptr, lines);
  } else {
    emit(state, "\n}\n");
  }
  state.function = enclosing;
}

void transProg(GenState& state, const Prog& prog) try {
  std::optional<NodeRef> at;
  if (prog.storage) at = mainFunctionRef();
  transFunc(state, prog.main, at);
  if (state.checked) {
    emitCheckedMain(state, prog.main.name, sourceLines(state, at));
    return;
  }
  emit(state, "int main() {\n\tvrel__");
  emit(state, prog.main.name);
  emit(state, "();\n}\n\n");
} catch (CompileError& error) {
  if (prog.storage) error.placeAt(mainFunctionRef());
  throw;
}

}  // namespace vrel
