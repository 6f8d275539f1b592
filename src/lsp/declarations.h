// Declarations as the editor shows them, in the words of the language: `total : int`,
// `line : reference byte []`, `buf : byte [80]`, `add(n : int) : proc`.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ast/tree.h"
#include "semantic/symbol_table.h"

namespace vrel::lsp {

std::string typeText(const ast::Type& type);
std::string resultText(const ast::RetType& result);
std::string paramText(const ast::Param& param);
std::string varText(const ast::VarDef& var);
std::string headerText(const ast::FuncDef& func);

// A library routine: its header and what it does, or nothing for another name.
struct RoutineDoc {
  std::string header;
  std::string_view summary;
  std::vector<std::string> params;  // each parameter as paramText writes it
  std::vector<bool> byRef;
  ast::RetType result;
};
std::optional<RoutineDoc> routineDoc(std::string_view name);

}  // namespace vrel::lsp
