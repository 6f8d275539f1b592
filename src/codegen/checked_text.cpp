#include "codegen/checked_text.h"

#include <optional>

#include "ast/source_map.h"

namespace vrel {

using namespace ast;

namespace {

constexpr char kOctalDigits[] = "01234567";

// The array an argument names: a variable, or a string constant of `constant` bytes.
struct ArrayArgument {
  std::optional<Name> variable;
  std::size_t constant = 0;
};

ArrayArgument arrayArgument(const Expr& arg) {
  if (auto paren = arg.get_if<Eparen>()) return arrayArgument(paren->expr);
  ArrayArgument array;
  if (auto lval = arg.get_if<Elval>()) {
    if (auto prim = lval->lvalue.get_if<LPrim>()) array.variable = prim->name;
    if (auto str = lval->lvalue.get_if<Lstr>()) array.constant = str->text.size();
  }
  return array;
}

}  // namespace

void emitCString(GenState& state, std::string_view text) {
  emit(state, "\"");
  for (char c : text) {
    auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      char escaped[] = {'\\', c};
      emit(state, std::string_view(escaped, 2));
    } else if (byte < 0x20 || byte >= 0x7f) {
      char octal[] = {'\\', kOctalDigits[byte >> 6], kOctalDigits[(byte >> 3) & 7],
                      kOctalDigits[byte & 7]};
      emit(state, std::string_view(octal, 4));
    } else {
      emit(state, std::string_view(&c, 1));
    }
  }
  emit(state, "\"");
}

LineSpan sourceLines(const GenState& state, const std::optional<NodeRef>& at) {
  if (!state.checked || !state.checked->lines || !at) return {};
  return state.checked->lines->of(*at);
}

void emitLineDirective(GenState& state, int line) {
  if (line <= 0) return;
  emit(state, "#line ");
  emitDecimal(state, line);
  if (!state.sourceNamed) {
    emit(state, " ");
    emitCString(state, state.checked->sourceName);
    state.sourceNamed = true;
  }
  emit(state, "\n");
  state.line = line;
}

void emitStatementLine(GenState& state, const Stmt& stmt) {
  int line = sourceLines(state, refOf(stmt)).first;
  if (line <= 0) return;
  emitLineDirective(state, line);
  emit(state, "vrel_frame.line = ");
  emitDecimal(state, line);
  emit(state, "; ");
}

void emitFrame(GenState& state, const FuncDef& func, LineSpan lines) {
  emitLineDirective(state, lines.first);
  emit(state, "struct vrel_frame vrel_frame __attribute__((cleanup(vrel_leave))) = {");
  emitCString(state, func.name);
  emit(state, ", ");
  emitDecimal(state, lines.first);
  emit(state, ", vrel_top}; vrel_top = &vrel_frame;\n");
}

void emitCheckedFunctionEnd(GenState& state, const FuncDef& func, bool isMain, LineSpan lines) {
  emitLineDirective(state, lines.last);
  if (!isMain && func.result.is<Rtype>()) emit(state, "vrel_missing_return(); ");
  emit(state, "}\n");
}

void emitCheckedArray(GenState& state, const VarDef& var, std::string_view element) {
  emit(state, "const int vrel_n_");
  emit(state, var.name);
  emit(state, " = vrel_room(");
  emitDecimal(state, var.size);
  emit(state, ", sizeof (");
  emit(state, element);
  emit(state, "), ");
  emitCString(state, var.name);
  emit(state, ", __LINE__); ");
  emit(state, element);
  emitVarName(state, var.name);
  emit(state, "[vrel_n_");
  emit(state, var.name);
  emit(state, "];\n");
}

void emitArrayCount(GenState& state, const Expr& arg, bool library) {
  ArrayArgument array = arrayArgument(arg);
  emit(state, ", ");
  if (array.variable) {
    emit(state, "vrel_n_");
    emit(state, *array.variable);
  } else {
    emitDecimal(state, static_cast<long long>(array.constant) + 1);
  }
  if (!library) return;
  emit(state, ", ");
  if (array.variable) {
    emitCString(state, *array.variable);
  } else {
    emit(state, "0");
  }
}

void emitCheckedMain(GenState& state, const Name& mainName, LineSpan lines) {
  emitLineDirective(state, lines.first);
  emit(state, "int main() { vrel_start(");
  emitCString(state, state.checked->sourceName);
  emit(state, "); vrel__");
  emit(state, mainName);
  emit(state, "(); vrel_flush(); }\n\n");
}

}  // namespace vrel
