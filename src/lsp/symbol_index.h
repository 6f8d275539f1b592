// Every name of a program and what it refers to, found by the scope rules of the language as
// the translation applies them: a function is declared where its definition stands (before its
// own body, so it can call itself), a variable or parameter from its declaration on; an inner
// declaration hides an outer one; variables and functions are looked up apart, so one name can
// be both.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ast/source_map.h"
#include "ast/tree.h"
#include "semantic/persistent_map.h"
#include "support/run_index.h"
#include "support/source_location.h"

namespace vrel::lsp {

enum class SymbolKind { kFunction, kParameter, kVariable, kRoutine };

// `type` and `result` are handles into the analysed tree, which is freed when its analysis ends:
// they are read only during it.
struct Symbol {
  SymbolKind kind;
  std::string name;
  SourceSpan nameSpan;                 // where it is declared; empty for a library routine
  SourceSpan extent;                   // the whole declaration
  std::optional<std::size_t> parent;   // the function it is declared in
  std::uint32_t depth;                 // of the scope declaring it: 0 for the library
  std::string detail;                  // the declaration or header as written in the language
  std::vector<std::size_t> members;    // a function's parameters and locals, in order
  std::vector<std::string> params;     // a function's parameters as written in its header
  std::vector<bool> byRef;             // for each parameter of a function: passed by reference
  std::optional<ast::Type> type;       // of a variable or parameter
  std::optional<ast::RetType> result;  // of a function or routine
  std::int32_t size = 0;               // of a local array
};

bool isFunction(const Symbol& symbol);

// The names visible at one point: each bound to its symbol.
struct Visible {
  PersistentMap<std::size_t> vars;
  PersistentMap<std::size_t> funcs;
};

// A name in the text: a declaration or a use of the symbol.
struct Occurrence {
  SourceSpan span;
  std::size_t symbol;
  std::uint32_t scope;  // what the name could have referred to there
  bool declaration;
};

class SymbolIndex {
 public:
  SymbolIndex(const ast::Prog& prog, const ast::SourceMap& map);

  const std::vector<Symbol>& symbols() const { return symbols_; }
  const std::vector<Occurrence>& occurrences() const { return occurrences_; }
  // The occurrences of one symbol, its declaration first.
  const std::vector<std::size_t>& occurrencesOf(std::size_t symbol) const {
    return bySymbol_[symbol];
  }
  std::size_t mainFunction() const { return main_; }

  // The occurrence whose name holds `offset` or ends at it.
  const Occurrence* at(std::uint64_t offset) const;

  // The symbols visible at `offset`, innermost first, each name of a kind once; the library
  // routines last.
  std::vector<std::size_t> visibleAt(std::uint64_t offset) const;

  // Why `symbol` cannot be renamed `name`, or nothing when it can.
  std::optional<std::string> renameConflict(std::size_t symbol, std::string_view name) const;

 private:
  friend class Walker;

  std::vector<Symbol> symbols_;
  std::vector<Occurrence> occurrences_;
  RunIndex<4> runs_;             // the occurrences whose names begin in each run of 16 bytes
  std::vector<Visible> scopes_;  // the names visible after each declaration
  std::vector<std::vector<std::size_t>> bySymbol_;
  std::size_t main_ = 0;
};

// Whether `name` can name a variable or function: a letter, then letters, digits and
// underscores, and no keyword.
bool isName(std::string_view name);

// The keywords of the language.
const std::vector<std::string_view>& keywords();

}  // namespace vrel::lsp
