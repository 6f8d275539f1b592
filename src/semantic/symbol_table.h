// The symbol table: nested scopes of variables, parameters and functions, innermost first.
//
// A `SymbolTable` is a value: every operation returns a new table and leaves its argument valid.
// Scopes share their parents. The innermost scope is copied only when another table still refers
// to it, so declaring n names in one scope costs O(n log n).
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "ast/tree.h"

namespace vrel {

struct VarEntry {
  ast::Type type;
  bool byRef;
};

struct FuncSig {
  std::vector<bool> paramModes;       // true where the parameter is passed by reference
  std::vector<ast::Type> paramTypes;  // the declared type of each parameter
  ast::RetType result;
};

// One level of nesting. Only the outermost scope, the library scope, has no parent.
struct Scope {
  std::shared_ptr<Scope> pt;
  std::map<ast::Name, VarEntry> vars;
  std::map<ast::Name, FuncSig> funcs;
  std::map<std::int32_t, VarEntry> temps;
};

class SymbolTable {
 public:
  explicit SymbolTable(std::shared_ptr<Scope> innermost) : innermost_(std::move(innermost)) {}

  const Scope& innermost() const { return *innermost_; }

 private:
  friend SymbolTable openScope(SymbolTable table);
  friend SymbolTable closeScope(SymbolTable table);
  friend SymbolTable addVar(SymbolTable, const ast::Name&, const ast::Type&);
  friend SymbolTable addParam(SymbolTable, const ast::Param&);
  friend SymbolTable addFunc(SymbolTable, const ast::Name&, const ast::RetType&,
                             const std::vector<ast::Param>&);

  // The innermost scope, copied first when another table still refers to it.
  Scope& ownInnermost();

  std::shared_ptr<Scope> innermost_;
};

// The global scope, empty, over the library scope with the fourteen runtime routines.
SymbolTable initialTable();

SymbolTable openScope(SymbolTable table);
SymbolTable closeScope(SymbolTable table);

SymbolTable addVar(SymbolTable table, const ast::Name& name, const ast::Type& type);
SymbolTable addParam(SymbolTable table, const ast::Param& param);
SymbolTable addFunc(SymbolTable table, const ast::Name& name, const ast::RetType& result,
                    const std::vector<ast::Param>& params);

const FuncSig& lookupFunc(const SymbolTable& table, const ast::Name& name);
bool isLibraryFunc(const SymbolTable& table, const ast::Name& name);

// The nearest variable or parameter called `name`; throws "undefined variable name".
const VarEntry& lookupVar(const SymbolTable& table, const ast::Name& name);

}  // namespace vrel
