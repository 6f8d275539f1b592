// The symbol table: nested scopes of variables, parameters and functions, innermost first.
//
// A `SymbolTable` is a value: every operation returns a new table and leaves its argument valid.
// Each scope holds every name visible in it, bound to its nearest declaration and the depth of the
// scope that declared it, in maps that share their nodes with the parent's. So a lookup costs
// O(log n) whatever the nesting, opening and closing a scope O(1), and a declaration O(log n).
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "ast/tree.h"
#include "semantic/persistent_map.h"
#include "support/compile_error.h"

namespace vrel {

struct VarEntry {
  ast::Type type;
  bool byRef;
  std::optional<NodeRef> declaredAt = std::nullopt;  // where the source declares it
};

struct FuncSig {
  std::vector<bool> paramModes;       // true where the parameter is passed by reference
  std::vector<ast::Type> paramTypes;  // the declared type of each parameter
  ast::RetType result;
  std::optional<NodeRef> declaredAt = std::nullopt;
};

// A declaration and the depth of the scope that made it: 0 for the library scope.
template <class Entry>
struct Declared {
  Entry entry;
  std::uint32_t depth;
};

// One level of nesting. Only the outermost scope, the library scope, has no parent.
struct Scope {
  std::shared_ptr<const Scope> pt;
  std::uint32_t depth = 0;
  PersistentMap<Declared<VarEntry>> vars;  // every visible variable and parameter
  PersistentMap<Declared<FuncSig>> funcs;  // every visible function
  std::map<std::int32_t, VarEntry> temps;  // declared in this scope; never filled
};

class SymbolTable {
 public:
  explicit SymbolTable(std::shared_ptr<const Scope> innermost) : innermost_(std::move(innermost)) {}

  const Scope& innermost() const { return *innermost_; }

 private:
  friend SymbolTable openScope(SymbolTable table);
  friend SymbolTable closeScope(SymbolTable table);
  friend SymbolTable addVar(SymbolTable, const ast::Name&, const ast::Type&,
                            std::optional<NodeRef>);
  friend SymbolTable addParam(SymbolTable, const ast::Param&);
  friend SymbolTable addFunc(SymbolTable, const ast::Name&, const ast::RetType&,
                             const ast::List<ast::Param>&, std::optional<NodeRef>);

  // The innermost scope, copied first when another table still refers to it.
  Scope& ownInnermost();

  std::shared_ptr<const Scope> innermost_;
};

// The global scope, empty, over the library scope with the fourteen runtime routines.
SymbolTable initialTable();

SymbolTable openScope(SymbolTable table);
SymbolTable closeScope(SymbolTable table);

// A declaration made at `at` in the source; a second one of the name in the same scope is an
// error there, with a note on the first.
SymbolTable addVar(SymbolTable table, const ast::Name& name, const ast::Type& type,
                   std::optional<NodeRef> at = std::nullopt);
SymbolTable addParam(SymbolTable table, const ast::Param& param);
SymbolTable addFunc(SymbolTable table, const ast::Name& name, const ast::RetType& result,
                    const ast::List<ast::Param>& params, std::optional<NodeRef> at = std::nullopt);

// The signature stays valid until the table's next declaration.
const FuncSig& lookupFunc(const SymbolTable& table, std::string_view name);
bool isLibraryFunc(const SymbolTable& table, std::string_view name);

// The nearest variable or parameter called `name`; throws "undefined variable name". The entry
// stays valid until the table's next declaration.
const VarEntry& lookupVar(const SymbolTable& table, std::string_view name);

}  // namespace vrel
