#include "lsp/warnings.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "support/overloaded.h"

namespace vrel::lsp {
namespace {

using namespace ast;

// Whether control can leave the statement at its end rather than through a return.
bool canComplete(const Stmt& s) {
  return std::visit(
      Overloaded{[](const Sreturn&) { return false; },
                 [](const Sblock& b) {
                   for (const Stmt& inner : b.stmts) {
                     if (!canComplete(inner)) return false;
                   }
                   return true;
                 },
                 [](const Sifelse& i) { return canComplete(i.then) || canComplete(i.otherwise); },
                 [](const Swhile& w) { return !w.cond.is<Btrue>(); },
                 [](const auto&) { return true; }},
      s.variant());
}

// The value of an integer constant expression: a number, signed, in parentheses.
std::optional<std::int64_t> constant(const Expr& e) {
  if (auto n = e.get_if<Enum>()) return n->value;
  if (auto p = e.get_if<Eparen>()) return constant(p->expr);
  if (auto u = e.get_if<Eunop>(); u && u->op != UnOp::UOarrsz) {
    std::optional<std::int64_t> value = constant(u->operand);
    if (value && u->op == UnOp::UOminus) return -*value;
    return value;
  }
  return std::nullopt;
}

// `op` with its operands swapped: k < x is x > k.
RelOp mirrored(RelOp op) {
  switch (op) {
    case RelOp::ROlt:
      return RelOp::ROgt;
    case RelOp::ROgt:
      return RelOp::ROlt;
    case RelOp::ROle:
      return RelOp::ROge;
    case RelOp::ROge:
      return RelOp::ROle;
    default:
      return op;
  }
}

// What `byte op k` is for every byte, when that is the same for all of them.
std::optional<bool> decided(RelOp op, std::int64_t k) {
  auto holds = [&](std::int64_t v) {
    switch (op) {
      case RelOp::ROeq:
        return v == k;
      case RelOp::ROne:
        return v != k;
      case RelOp::ROlt:
        return v < k;
      case RelOp::ROgt:
        return v > k;
      case RelOp::ROle:
        return v <= k;
      case RelOp::ROge:
        return v >= k;
    }
    return false;
  };
  // Each relation changes its truth at most twice over 0..255, at k or next to it.
  bool first = holds(0);
  for (std::int64_t v : {std::int64_t{0}, std::int64_t{255}, k - 1, k, k + 1}) {
    if (v >= 0 && v <= 255 && holds(v) != first) return std::nullopt;
  }
  return first;
}

class Checker {
 public:
  Checker(const SourceMap& map, const SymbolIndex& index, std::vector<Finding>& out)
      : map_(map), index_(index), out_(out), place_(index.symbols().size()) {
    for (const Symbol& s : index.symbols()) {
      for (std::size_t i = 0; i < s.members.size(); ++i) place_[s.members[i]] = i;
    }
  }

  void func(const FuncDef& f, std::size_t id) {
    const Symbol& symbol = index_.symbols()[id];
    if (symbol.result && symbol.result->is<Rtype>() && canComplete(f.body)) {
      warn(symbol.nameSpan, "function " + symbol.name + " can reach its end without a return");
    }
    std::size_t nested = 0;
    for (const LocalDef& local : f.locals) {
      if (auto inner = local.get_if<LFunc>()) {
        while (!isFunction(index_.symbols()[symbol.members[nested]])) ++nested;
        func(inner->func, symbol.members[nested++]);
      }
    }
    Flow flow{Members(symbol.members.size()), false};
    skip_ = untracked(id);
    function_ = id;
    stmt(f.body, flow);
  }

  void declarations() {
    const std::vector<Symbol>& symbols = index_.symbols();
    for (std::size_t id = 0; id < symbols.size(); ++id) {
      const Symbol& s = symbols[id];
      if (s.kind != SymbolKind::kVariable && s.kind != SymbolKind::kFunction) continue;
      if (id != index_.mainFunction() && index_.occurrencesOf(id).size() == 1) {
        warn(s.nameSpan, (isFunction(s) ? "function " : "variable ") + s.name + " is never used");
      }
      if (auto array = s.type ? s.type->get_if<TArr>() : std::nullopt; array && s.size > 0) {
        auto element = array->element.get_if<TPrim>();
        std::int64_t bytes =
            std::int64_t{s.size} * (element && element->data == DataType::Dbyte ? 1 : 4);
        if (bytes > kLargeArrayBytes) {
          warn(s.nameSpan, "array " + s.name + " takes " + std::to_string(bytes) +
                               " bytes of the stack, which may not hold it");
        }
      }
    }
  }

 private:
  // Members of the function walked, by their place among its members.
  using Members = std::vector<bool>;

  // The scalar variables of one function that may have been assigned so far.
  struct Flow {
    Members assigned;
    bool unreachable;
  };

  // Where a node came from; an empty span at 0 for one the reader did not place.
  template <class T>
  SourceSpan where(const T& node) const {
    return map_.span(node).value_or(SourceSpan{});
  }

  void warn(SourceSpan span, std::string message) {
    out_.push_back({span, std::move(message), true, std::nullopt});
  }

  // The symbol a name at `at` refers to.
  const Symbol* resolved(SourceSpan at, std::size_t* id = nullptr) const {
    const Occurrence* occurrence = index_.at(at.begin);
    if (!occurrence || occurrence->span.begin != at.begin) return nullptr;
    if (id) *id = occurrence->symbol;
    return &index_.symbols()[occurrence->symbol];
  }

  // The members of function `id` whose reads are not followed: all but its scalar locals that no
  // nested function mentions.
  Members untracked(std::size_t id) const {
    const Symbol& function = index_.symbols()[id];
    std::vector<SourceSpan> nested;
    for (std::size_t n : function.members) {
      if (index_.symbols()[n].kind == SymbolKind::kFunction) {
        nested.push_back(index_.symbols()[n].extent);
      }
    }
    auto inNested = [&](std::size_t o) {
      std::uint64_t at = index_.occurrences()[o].span.begin;
      return std::any_of(nested.begin(), nested.end(),
                         [&](SourceSpan extent) { return extent.begin <= at && at < extent.end; });
    };
    Members skip(function.members.size());
    for (std::size_t i = 0; i < function.members.size(); ++i) {
      const Symbol& s = index_.symbols()[function.members[i]];
      const std::vector<std::size_t>& uses = index_.occurrencesOf(function.members[i]);
      skip[i] = s.kind != SymbolKind::kVariable || !s.type || !s.type->is<TPrim>() ||
                std::any_of(uses.begin(), uses.end(), inNested);
    }
    return skip;
  }

  bool isByte(const Expr& e) const {
    return std::visit(Overloaded{[](const Echar&) { return true; },
                                 [&](const Elval& v) {
                                   const Symbol* s = resolved(where(v.lvalue));
                                   if (!s || !s->type) return false;
                                   Type type = *s->type;
                                   if (v.lvalue.is<LArr>()) {
                                     auto array = type.get_if<TArr>();
                                     if (!array) return false;
                                     type = array->element;
                                   }
                                   auto prim = type.get_if<TPrim>();
                                   return prim && prim->data == DataType::Dbyte;
                                 },
                                 [&](const Ecall&) {
                                   const Symbol* s = resolved(where(e));
                                   auto type =
                                       s && s->result ? s->result->get_if<Rtype>() : std::nullopt;
                                   auto prim = type ? type->type.get_if<TPrim>() : std::nullopt;
                                   return prim && prim->data == DataType::Dbyte;
                                 },
                                 [&](const Eparen& p) { return isByte(p.expr); },
                                 [](const auto&) { return false; }},
                      e.variant());
  }

  void comparison(const Brelop& r, const Cond& c) {
    if (collecting_) return;
    std::optional<bool> always;
    if (std::optional<std::int64_t> k = constant(r.right); k && isByte(r.left)) {
      always = decided(r.op, *k);
    } else if (std::optional<std::int64_t> k = constant(r.left); k && isByte(r.right)) {
      always = decided(mirrored(r.op), *k);
    }
    if (always) {
      warn(where(c), std::string("comparison is always ") + (*always ? "true" : "false") +
                         ": a byte holds 0 to 255");
    }
  }

  // A read of the variable named at `at`: one of the function's own, the others are assigned
  // where this walk cannot see.
  void read(SourceSpan at, Flow& flow) {
    std::size_t id = 0;
    const Symbol* s = resolved(at, &id);
    if (!s || s->parent != function_ || collecting_ || flow.unreachable || skip_[place_[id]] ||
        flow.assigned[place_[id]]) {
      return;
    }
    warn({at.begin, at.begin + s->name.size()},
         "variable " + s->name + " is read before anything is assigned to it");
    skip_[place_[id]] = true;  // once is enough
  }

  // Only the function's own variables are followed: what else is assigned is not kept.
  void assign(SourceSpan at, Flow& flow) {
    std::size_t id = 0;
    const Symbol* s = resolved(at, &id);
    if (s && s->parent == function_ && !flow.unreachable) flow.assigned[place_[id]] = true;
  }

  void lvalue(const LValue& l, Flow& flow, bool reading) {
    if (l.is<LPrim>()) {
      if (reading) read(where(l), flow);
    } else if (auto a = l.get_if<LArr>()) {
      expr(a->index, flow);
    }
  }

  void call(const FuncCall& c, SourceSpan at, Flow& flow) {
    const Symbol* callee = resolved(at);
    if (callee && !collecting_ && (callee->name == "strcpy" || callee->name == "strcat") &&
        callee->kind == SymbolKind::kRoutine && !c.args.empty()) {
      Expr target = c.args[0];
      if (auto v = target.get_if<Elval>(); v && v->lvalue.is<Lstr>()) {
        warn(where(target), callee->name + " writes into a string constant");
      }
    }
    for (std::size_t i = 0; i < c.args.size(); ++i) {
      Expr arg = c.args[i];
      while (auto p = arg.get_if<Eparen>()) arg = p->expr;
      auto v = arg.get_if<Elval>();
      bool byRef = callee && i < callee->byRef.size() && callee->byRef[i];
      if (v && v->lvalue.is<LPrim>() && byRef) {
        assign(where(v->lvalue), flow);
      } else {
        expr(c.args[i], flow);
      }
    }
  }

  void expr(const Expr& e, Flow& flow) {
    std::visit(Overloaded{[&](const Elval& v) { lvalue(v.lvalue, flow, true); },
                          [&](const Eunop& u) { expr(u.operand, flow); },
                          [&](const Ebinop& b) {
                            expr(b.left, flow);
                            expr(b.right, flow);
                          },
                          [&](const Ecall& c) { call(c.call, where(e), flow); },
                          [&](const Eparen& p) { expr(p.expr, flow); }, [](const auto&) {}},
               e.variant());
  }

  void cond(const Cond& c, Flow& flow) {
    std::visit(Overloaded{[&](const Brelop& r) {
                            comparison(r, c);
                            expr(r.left, flow);
                            expr(r.right, flow);
                          },
                          [&](const Blogop& l) {
                            cond(l.left, flow);
                            cond(l.right, flow);
                          },
                          [&](const Bnot& n) { cond(n.cond, flow); }, [](const auto&) {}},
               c.variant());
  }

  // Everything the statement may assign, wherever in it: what a loop's next round has seen.
  // The walk that collects it reads nothing and warns of nothing.
  void assignedIn(const Stmt& s, Flow& flow) {
    if (collecting_) return;
    Flow all{flow.assigned, false};
    collecting_ = true;
    stmt(s, all);
    collecting_ = false;
    flow.assigned = std::move(all.assigned);
  }

  void stmt(const Stmt& s, Flow& flow) {
    std::visit(Overloaded{[&](const Sassign& a) {
                            expr(a.value, flow);
                            lvalue(a.target, flow, false);
                            if (a.target.is<LPrim>()) assign(where(a.target), flow);
                          },
                          [&](const Sblock& b) {
                            for (const Stmt& inner : b.stmts) stmt(inner, flow);
                          },
                          [&](const Scall& c) { call(c.call, where(s), flow); },
                          [&](const Sif& i) {
                            cond(i.cond, flow);
                            Flow then = flow;
                            stmt(i.then, then);
                            join(flow, then);
                          },
                          [&](const Sifelse& i) {
                            cond(i.cond, flow);
                            Flow then = flow;
                            stmt(i.then, then);
                            stmt(i.otherwise, flow);
                            join(flow, then);
                          },
                          [&](const Swhile& w) {
                            assignedIn(w.body, flow);
                            cond(w.cond, flow);
                            Flow body = flow;
                            stmt(w.body, body);
                            join(flow, body);
                          },
                          [&](const Sreturn& r) {
                            if (auto value = r.value.get_if<EOexpr>()) expr(value->expr, flow);
                            flow.unreachable = true;
                          },
                          [](const Sskip&) {}},
               s.variant());
  }

  // After two paths meet: what either may have assigned; reachable if either is.
  static void join(Flow& flow, const Flow& other) {
    if (other.unreachable) return;
    if (flow.unreachable) {
      flow = other;
      return;
    }
    for (std::size_t i = 0; i < flow.assigned.size(); ++i) {
      if (other.assigned[i]) flow.assigned[i] = true;
    }
  }

  const SourceMap& map_;
  const SymbolIndex& index_;
  std::vector<Finding>& out_;
  bool collecting_ = false;
  std::vector<std::size_t> place_;  // of each symbol among the members of its function
  // The members of the function walked that are not followed: all but its scalar variables,
  // those a nested function uses, and those already warned of.
  Members skip_;
  std::size_t function_ = 0;  // whose body is walked: only its own variables are followed
};

}  // namespace

std::vector<Finding> warnings(const Prog& prog, const SourceMap& map, const SymbolIndex& index) {
  std::vector<Finding> found;
  Checker checker(map, index, found);
  checker.func(prog.main, index.mainFunction());
  checker.declarations();
  return found;
}

}  // namespace vrel::lsp
