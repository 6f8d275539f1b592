#include "codegen/shared_names.h"

#include "semantic/library_scope.h"
#include "support/overloaded.h"

namespace vrel {
namespace {

using namespace ast;

struct Declarations {
  NameSet vars;   // variables and parameters
  NameSet funcs;  // functions, the main function included
};

void collectDeclarations(const FuncDef& func, Declarations& found) {
  found.funcs.insert(func.name);
  for (const Param& param : func.params) found.vars.insert(param.name);
  for (const LocalDef& local : func.locals) {
    std::visit(Overloaded{
                   [&](const LFunc& f) { collectDeclarations(f.func, found); },
                   [&](const LVar& v) { found.vars.insert(v.var.name); },
               },
               local.variant());
  }
}

// Collects the calls of a few names anywhere in a program.
class CallFinder {
 public:
  explicit CallFinder(NameSet wanted) : wanted_(std::move(wanted)) {}

  const NameSet& found() const { return found_; }

  void func(const FuncDef& f) {
    for (const LocalDef& local : f.locals) {
      if (auto nested = local.get_if<LFunc>()) func(nested->func);
    }
    stmt(f.body);
  }

 private:
  void call(const FuncCall& c) {
    if (wanted_.contains(c.name)) found_.insert(c.name);
    for (const Expr& arg : c.args) expr(arg);
  }

  void stmt(const Stmt& s) {
    std::visit(Overloaded{
                   [&](const Sassign& a) {
                     lvalue(a.target);
                     expr(a.value);
                   },
                   [](const Sskip&) {},
                   [&](const Sblock& b) {
                     for (const Stmt& inner : b.stmts) stmt(inner);
                   },
                   [&](const Scall& c) { call(c.call); },
                   [&](const Sif& i) {
                     cond(i.cond);
                     stmt(i.then);
                   },
                   [&](const Sifelse& i) {
                     cond(i.cond);
                     stmt(i.then);
                     stmt(i.otherwise);
                   },
                   [&](const Swhile& w) {
                     cond(w.cond);
                     stmt(w.body);
                   },
                   [&](const Sreturn& r) {
                     if (auto e = r.value.get_if<EOexpr>()) expr(e->expr);
                   },
               },
               s.variant());
  }

  void cond(const Cond& c) {
    std::visit(Overloaded{
                   [](const Btrue&) {},
                   [](const Bfalse&) {},
                   [&](const Brelop& r) {
                     expr(r.left);
                     expr(r.right);
                   },
                   [&](const Blogop& l) {
                     cond(l.left);
                     cond(l.right);
                   },
                   [&](const Bnot& n) { cond(n.cond); },
               },
               c.variant());
  }

  void expr(const Expr& e) {
    std::visit(Overloaded{
                   [](const Enum&) {},
                   [](const Echar&) {},
                   [&](const Elval& v) { lvalue(v.lvalue); },
                   [&](const Eunop& u) { expr(u.operand); },
                   [&](const Ebinop& b) {
                     expr(b.left);
                     expr(b.right);
                   },
                   [&](const Ecall& c) { call(c.call); },
                   [&](const Eparen& p) { expr(p.expr); },
               },
               e.variant());
  }

  void lvalue(const LValue& lv) {
    if (auto element = lv.get_if<LArr>()) expr(element->index);
  }

  NameSet wanted_;
  NameSet found_;
};

}  // namespace

NameSet sharedNames(const Prog& prog) {
  Declarations declared;
  collectDeclarations(prog.main, declared);
  NameSet shared;
  NameSet routines;  // variables named like a library routine: shared if the routine is called
  for (std::string_view name : declared.vars) {
    if (declared.funcs.contains(name)) {
      shared.insert(name);
    } else if (isLibraryRoutineName(name)) {
      routines.insert(name);
    }
  }
  if (routines.empty()) return shared;
  CallFinder calls(std::move(routines));
  calls.func(prog.main);
  shared.insert(calls.found().begin(), calls.found().end());
  return shared;
}

}  // namespace vrel
