#include "semantic/symbol_table.h"

#include "semantic/library_scope.h"
#include "support/compile_error.h"

namespace vrel {
namespace {

struct FoundFunc {
  const FuncSig& sig;
  const Scope& scope;
};

// The nearest function called `name` and the scope that declares it.
FoundFunc findFunc(const SymbolTable& table, const ast::Name& name) {
  for (const Scope* scope = &table.innermost(); scope; scope = scope->pt.get()) {
    auto found = scope->funcs.find(name);
    if (found != scope->funcs.end()) return {found->second, *scope};
  }
  throw CompileError("undefined function " + name);
}

void declareVar(Scope& scope, const ast::Name& name, VarEntry entry) {
  if (!scope.vars.try_emplace(name, std::move(entry)).second) {
    throw CompileError("identifier " + name + " already declared");
  }
}

}  // namespace

Scope& SymbolTable::ownInnermost() {
  if (innermost_.use_count() > 1) innermost_ = std::make_shared<Scope>(*innermost_);
  return *innermost_;
}

SymbolTable initialTable() {
  auto global = std::make_shared<Scope>();
  global->pt = makeLibraryScope();
  return SymbolTable(std::move(global));
}

SymbolTable openScope(SymbolTable table) {
  auto scope = std::make_shared<Scope>();
  scope->pt = std::move(table.innermost_);
  return SymbolTable(std::move(scope));
}

SymbolTable closeScope(SymbolTable table) {
  std::shared_ptr<Scope> parent = table.innermost_->pt;
  if (!parent) throw CompileError("cannot close outermost scope");
  table.innermost_.reset();
  return SymbolTable(std::move(parent));
}

SymbolTable addVar(SymbolTable table, const ast::Name& name, const ast::Type& type) {
  declareVar(table.ownInnermost(), name, VarEntry{type, false});
  return table;
}

SymbolTable addParam(SymbolTable table, const ast::Param& param) {
  declareVar(table.ownInnermost(), param.name,
             VarEntry{param.type, param.mode == ast::PassMode::ByRef});
  return table;
}

SymbolTable addFunc(SymbolTable table, const ast::Name& name, const ast::RetType& result,
                    const std::vector<ast::Param>& params) {
  FuncSig sig{{}, {}, result};
  sig.paramModes.reserve(params.size());
  sig.paramTypes.reserve(params.size());
  for (const ast::Param& param : params) {
    sig.paramModes.push_back(param.mode == ast::PassMode::ByRef);
    sig.paramTypes.push_back(param.type);
  }
  if (!table.ownInnermost().funcs.try_emplace(name, std::move(sig)).second) {
    throw CompileError("function " + name + " already declared");
  }
  return table;
}

const FuncSig& lookupFunc(const SymbolTable& table, const ast::Name& name) {
  return findFunc(table, name).sig;
}

bool isLibraryFunc(const SymbolTable& table, const ast::Name& name) {
  return !findFunc(table, name).scope.pt;
}

const VarEntry& lookupVar(const SymbolTable& table, const ast::Name& name) {
  for (const Scope* scope = &table.innermost(); scope; scope = scope->pt.get()) {
    auto found = scope->vars.find(name);
    if (found != scope->vars.end()) return found->second;
  }
  throw CompileError("undefined variable " + name);
}

}  // namespace vrel
