#include "semantic/symbol_table.h"

#include <string>

#include "ast/source_map.h"
#include "semantic/library_scope.h"
#include "support/compile_error.h"

namespace vrel {
namespace {

const Declared<FuncSig>& findFunc(const SymbolTable& table, std::string_view name) {
  const Declared<FuncSig>* found = table.innermost().funcs.find(name);
  if (!found) throw CompileError("undefined function " + std::string(name));
  return *found;
}

// The error of a second declaration of `name` at `at`, with a note on the first.
[[noreturn]] void declaredTwice(const std::string& message, const ast::Name& name,
                                const std::optional<NodeRef>& at,
                                const std::optional<NodeRef>& first) {
  if (!at) throw CompileError(message);
  throw CompileError(message, ErrorSite{*at, name + " is already declared in this scope", first,
                                        "the first declaration of " + name + " is here"});
}

void declareVar(Scope& scope, const ast::Name& name, VarEntry entry) {
  const Declared<VarEntry>* found = scope.vars.find(name);
  if (found && found->depth == scope.depth) {
    declaredTwice("identifier " + name + " already declared", name, entry.declaredAt,
                  found->entry.declaredAt);
  }
  scope.vars.insert(name, {std::move(entry), scope.depth});
}

}  // namespace

// Every scope is created mutable; one that no other table or scope refers to is changed in place.
Scope& SymbolTable::ownInnermost() {
  if (innermost_.use_count() > 1) innermost_ = std::make_shared<Scope>(*innermost_);
  return *std::const_pointer_cast<Scope>(innermost_);
}

SymbolTable initialTable() {
  return openScope(SymbolTable(makeLibraryScope()));
}

SymbolTable openScope(SymbolTable table) {
  const Scope& parent = *table.innermost_;
  auto scope = std::make_shared<Scope>();
  scope->depth = parent.depth + 1;
  scope->vars = parent.vars;
  scope->funcs = parent.funcs;
  scope->pt = std::move(table.innermost_);
  return SymbolTable(std::move(scope));
}

SymbolTable closeScope(SymbolTable table) {
  std::shared_ptr<const Scope> parent = table.innermost_->pt;
  if (!parent) throw CompileError("cannot close outermost scope");
  table.innermost_.reset();
  return SymbolTable(std::move(parent));
}

SymbolTable addVar(SymbolTable table, const ast::Name& name, const ast::Type& type,
                   std::optional<NodeRef> at) {
  declareVar(table.ownInnermost(), name, VarEntry{type, false, at});
  return table;
}

SymbolTable addParam(SymbolTable table, const ast::Param& param) {
  declareVar(table.ownInnermost(), param.name,
             VarEntry{param.type, param.mode == ast::PassMode::ByRef, ast::refOf(param)});
  return table;
}

SymbolTable addFunc(SymbolTable table, const ast::Name& name, const ast::RetType& result,
                    const ast::List<ast::Param>& params, std::optional<NodeRef> at) {
  FuncSig sig{{}, {}, result, at};
  sig.paramModes.reserve(params.size());
  sig.paramTypes.reserve(params.size());
  for (const ast::Param& param : params) {
    sig.paramModes.push_back(param.mode == ast::PassMode::ByRef);
    sig.paramTypes.push_back(param.type);
  }
  Scope& scope = table.ownInnermost();
  const Declared<FuncSig>* found = scope.funcs.find(name);
  if (found && found->depth == scope.depth) {
    declaredTwice("function " + name + " already declared", name, at, found->entry.declaredAt);
  }
  scope.funcs.insert(name, {std::move(sig), scope.depth});
  return table;
}

const FuncSig& lookupFunc(const SymbolTable& table, std::string_view name) {
  return findFunc(table, name).entry;
}

bool isLibraryFunc(const SymbolTable& table, std::string_view name) {
  return findFunc(table, name).depth == 0;
}

const VarEntry& lookupVar(const SymbolTable& table, std::string_view name) {
  const Declared<VarEntry>* found = table.innermost().vars.find(name);
  if (!found) throw CompileError("undefined variable " + std::string(name));
  return found->entry;
}

}  // namespace vrel
