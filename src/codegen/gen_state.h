// The generator state threaded through translation: the C text so far and the current table.
#pragma once

#include <string>
#include <string_view>

#include "semantic/symbol_table.h"

namespace vrel {

struct GenState {
  std::string text;  // append-only
  SymbolTable table;
};

inline void emit(GenState& state, std::string_view fragment) {
  state.text += fragment;
}

}  // namespace vrel
