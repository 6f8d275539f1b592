// The generator state threaded through translation: the C text so far, the current table, the
// function being translated, the names whose variables are written "vrel_v_" + name, and for a
// checked build where the source's lines stand.
#pragma once

#include <string_view>

#include "ast/tree.h"
#include "codegen/checked_build.h"
#include "codegen/shared_names.h"
#include "codegen/text_blocks.h"
#include "semantic/symbol_table.h"

namespace vrel {

struct GenState {
  TextBlocks text;  // append-only
  SymbolTable table;
  NameSet sharedNames;
  const ast::FuncDef* function = nullptr;  // the innermost function being translated
  const CheckedBuild* checked = nullptr;   // a checked build: run-time checks, line directives
  int line = 0;                            // of the last line directive
  bool sourceNamed = false;                // whether a line directive has named the source
};

inline void emit(GenState& state, std::string_view fragment) {
  state.text.append(fragment);
}

// The ordinary signed decimal text of a number, without a blank.
void emitDecimal(GenState& state, long long value);

// The C name of a function or library routine.
inline void emitFuncName(GenState& state, std::string_view name) {
  emit(state, "vrel__");
  emit(state, name);
}

// The C name of a variable or parameter.
inline void emitVarName(GenState& state, std::string_view name) {
  emit(state,
       !state.sharedNames.empty() && state.sharedNames.contains(name) ? "vrel_v_" : "vrel__");
  emit(state, name);
}

}  // namespace vrel
