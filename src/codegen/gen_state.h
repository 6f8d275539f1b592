// The generator state threaded through translation: the C text so far, the current table, the
// function being translated, and the names whose variables are written "vrel_v_" + name.
#pragma once

#include <string>
#include <string_view>

#include "ast/tree.h"
#include "codegen/shared_names.h"
#include "semantic/symbol_table.h"

namespace vrel {

struct GenState {
  std::string text;  // append-only
  SymbolTable table;
  NameSet sharedNames;
  const ast::FuncDef* function = nullptr;  // the innermost function being translated
};

inline void emit(GenState& state, std::string_view fragment) {
  state.text += fragment;
}

// The C name of a function or library routine.
inline void emitFuncName(GenState& state, std::string_view name) {
  emit(state, "vrel__");
  emit(state, name);
}

// The C name of a variable or parameter.
inline void emitVarName(GenState& state, std::string_view name) {
  emit(state, state.sharedNames.contains(name) ? "vrel_v_" : "vrel__");
  emit(state, name);
}

}  // namespace vrel
