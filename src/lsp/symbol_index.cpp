#include "lsp/symbol_index.h"

#include <algorithm>
#include <array>
#include <memory>
#include <set>
#include <utility>

#include "lsp/declarations.h"
#include "semantic/library_scope.h"
#include "support/overloaded.h"

namespace vrel::lsp {

using namespace ast;

bool isFunction(const Symbol& symbol) {
  return symbol.kind == SymbolKind::kFunction || symbol.kind == SymbolKind::kRoutine;
}

class Walker {
 public:
  Walker(SymbolIndex& index, const SourceMap& map) : index_(index), map_(map) {}

  void library(Visible& visible) {
    for (std::string_view name : kRoutineNames) {
      std::optional<RoutineDoc> doc = routineDoc(name);
      Symbol symbol{SymbolKind::kRoutine,
                    std::string(name),
                    {},
                    {},
                    std::nullopt,
                    0,
                    doc->header,
                    {},
                    doc->params,
                    doc->byRef,
                    std::nullopt,
                    doc->result,
                    0};
      visible.funcs.insert(name, add(std::move(symbol)));
    }
  }

  std::size_t func(const FuncDef& f, SourceSpan extent, std::optional<std::size_t> parent,
                   std::uint32_t depth, Visible& outer) {
    Symbol symbol{SymbolKind::kFunction,
                  std::string(f.name),
                  nameAt(extent, f.name),
                  extent,
                  parent,
                  depth,
                  headerText(f),
                  {},
                  {},
                  {},
                  std::nullopt,
                  f.result,
                  0};
    for (const Param& param : f.params) {
      symbol.params.push_back(paramText(param));
      symbol.byRef.push_back(param.mode == PassMode::ByRef);
    }
    std::size_t id = add(std::move(symbol));
    outer.funcs.insert(f.name, id);
    declare(id, outer);
    Visible inner = outer;
    for (std::size_t i = 0; i < f.params.size(); ++i) {
      const Param& param = f.params[i];
      SourceSpan span = where(param);
      std::size_t p = member(id, {SymbolKind::kParameter,
                                  std::string(param.name),
                                  nameAt(span, param.name),
                                  span,
                                  id,
                                  depth + 1,
                                  paramText(param),
                                  {},
                                  {},
                                  {},
                                  param.type,
                                  std::nullopt,
                                  0});
      inner.vars.insert(param.name, p);
      declare(p, inner);
    }
    for (const LocalDef& local : f.locals) {
      SourceSpan span = where(local);
      if (auto var = local.get_if<LVar>()) {
        const VarDef& v = var->var;
        std::size_t l = member(id, {SymbolKind::kVariable,
                                    std::string(v.name),
                                    nameAt(span, v.name),
                                    span,
                                    id,
                                    depth + 1,
                                    varText(v),
                                    {},
                                    {},
                                    {},
                                    v.type,
                                    std::nullopt,
                                    v.size});
        inner.vars.insert(v.name, l);
        declare(l, inner);
      } else {
        std::size_t nested = func(local.get_if<LFunc>()->func, span, id, depth + 1, inner);
        index_.symbols_[id].members.push_back(nested);
      }
    }
    stmt(f.body, inner);
    return id;
  }

 private:
  static constexpr std::array<std::string_view, 14> kRoutineNames = {
      "writeInteger", "writeByte", "writeChar",  "writeString", "readInteger",
      "readByte",     "readChar",  "readString", "extend",      "shrink",
      "strlen",       "strcmp",    "strcpy",     "strcat"};

  // Where a node came from; an empty span at 0 for one the reader did not place.
  template <class T>
  SourceSpan where(const T& node) const {
    return map_.span(node).value_or(SourceSpan{});
  }

  static SourceSpan nameAt(SourceSpan span, std::string_view name) {
    return {span.begin, span.begin + name.size()};
  }

  std::size_t add(Symbol symbol) {
    index_.symbols_.push_back(std::move(symbol));
    return index_.symbols_.size() - 1;
  }

  std::size_t member(std::size_t function, Symbol symbol) {
    std::size_t id = add(std::move(symbol));
    index_.symbols_[function].members.push_back(id);
    return id;
  }

  void declare(std::size_t symbol, const Visible& visible) {
    index_.occurrences_.push_back({index_.symbols_[symbol].nameSpan, symbol, true, visible});
  }

  void use(const PersistentMap<std::size_t>& names, std::string_view name, SourceSpan at,
           const Visible& visible) {
    if (const std::size_t* symbol = names.find(name)) {
      index_.occurrences_.push_back({nameAt(at, name), *symbol, false, visible});
    }
  }

  void call(const FuncCall& c, SourceSpan at, const Visible& visible) {
    use(visible.funcs, c.name, at, visible);
    for (const Expr& arg : c.args) expr(arg, visible);
  }

  void lvalue(const LValue& l, const Visible& visible) {
    std::visit(Overloaded{[&](const LPrim& p) { use(visible.vars, p.name, where(l), visible); },
                          [&](const LArr& a) {
                            use(visible.vars, a.name, where(l), visible);
                            expr(a.index, visible);
                          },
                          [](const Lstr&) {}},
               l.variant());
  }

  void expr(const Expr& e, const Visible& visible) {
    std::visit(Overloaded{[](const Enum&) {}, [](const Echar&) {},
                          [&](const Elval& v) { lvalue(v.lvalue, visible); },
                          [&](const Eunop& u) { expr(u.operand, visible); },
                          [&](const Ebinop& b) {
                            expr(b.left, visible);
                            expr(b.right, visible);
                          },
                          [&](const Ecall& c) { call(c.call, where(e), visible); },
                          [&](const Eparen& p) { expr(p.expr, visible); }},
               e.variant());
  }

  void cond(const Cond& c, const Visible& visible) {
    std::visit(Overloaded{[](const Btrue&) {}, [](const Bfalse&) {},
                          [&](const Brelop& r) {
                            expr(r.left, visible);
                            expr(r.right, visible);
                          },
                          [&](const Blogop& l) {
                            cond(l.left, visible);
                            cond(l.right, visible);
                          },
                          [&](const Bnot& n) { cond(n.cond, visible); }},
               c.variant());
  }

  void stmt(const Stmt& s, const Visible& visible) {
    std::visit(Overloaded{[&](const Sassign& a) {
                            lvalue(a.target, visible);
                            expr(a.value, visible);
                          },
                          [](const Sskip&) {},
                          [&](const Sblock& b) {
                            for (const Stmt& inner : b.stmts) stmt(inner, visible);
                          },
                          [&](const Scall& c) { call(c.call, where(s), visible); },
                          [&](const Sif& i) {
                            cond(i.cond, visible);
                            stmt(i.then, visible);
                          },
                          [&](const Sifelse& i) {
                            cond(i.cond, visible);
                            stmt(i.then, visible);
                            stmt(i.otherwise, visible);
                          },
                          [&](const Swhile& w) {
                            cond(w.cond, visible);
                            stmt(w.body, visible);
                          },
                          [&](const Sreturn& r) {
                            if (auto value = r.value.get_if<EOexpr>()) expr(value->expr, visible);
                          }},
               s.variant());
  }

  SymbolIndex& index_;
  const SourceMap& map_;
};

SymbolIndex::SymbolIndex(const Prog& prog, const SourceMap& map) {
  Walker walker(*this, map);
  Visible global;
  walker.library(global);
  main_ = walker.func(prog.main, map.span(mainFunctionRef()).value_or(SourceSpan{}), std::nullopt,
                      1, global);
  std::stable_sort(
      occurrences_.begin(), occurrences_.end(),
      [](const Occurrence& a, const Occurrence& b) { return a.span.begin < b.span.begin; });
  bySymbol_.resize(symbols_.size());
  for (std::size_t i = 0; i < occurrences_.size(); ++i) {
    std::vector<std::size_t>& list = bySymbol_[occurrences_[i].symbol];
    if (occurrences_[i].declaration) {
      list.insert(list.begin(), i);
    } else {
      list.push_back(i);
    }
  }
}

const Occurrence* SymbolIndex::at(std::uint64_t offset) const {
  auto after = std::upper_bound(
      occurrences_.begin(), occurrences_.end(), offset,
      [](std::uint64_t at, const Occurrence& occurrence) { return at < occurrence.span.begin; });
  if (after == occurrences_.begin()) return nullptr;
  const Occurrence& candidate = *(after - 1);
  return offset <= candidate.span.end ? &candidate : nullptr;
}

std::vector<std::size_t> SymbolIndex::visibleAt(std::uint64_t offset) const {
  std::vector<std::size_t> chain{main_};
  for (bool deeper = true; deeper;) {
    deeper = false;
    for (std::size_t m : symbols_[chain.back()].members) {
      const Symbol& s = symbols_[m];
      if (s.kind == SymbolKind::kFunction && s.extent.begin <= offset && offset < s.extent.end) {
        chain.push_back(m);
        deeper = true;
        break;
      }
    }
  }
  std::vector<std::size_t> visible;
  std::set<std::pair<bool, std::string_view>> seen;
  auto offer = [&](std::size_t id) {
    const Symbol& s = symbols_[id];
    if (seen.insert({isFunction(s), s.name}).second) visible.push_back(id);
  };
  for (auto f = chain.rbegin(); f != chain.rend(); ++f) {
    for (std::size_t m : symbols_[*f].members) {
      const Symbol& s = symbols_[m];
      if (s.kind == SymbolKind::kParameter || s.nameSpan.begin < offset) offer(m);
    }
  }
  offer(main_);
  for (std::size_t id = 0; id < symbols_.size(); ++id) {
    if (symbols_[id].kind == SymbolKind::kRoutine) offer(id);
  }
  return visible;
}

std::optional<std::string> SymbolIndex::renameConflict(std::size_t id,
                                                       std::string_view name) const {
  const Symbol& symbol = symbols_[id];
  if (symbol.kind == SymbolKind::kRoutine) return "a library routine cannot be renamed";
  if (!isName(name)) return std::string(name) + " is not a name";
  if (name == symbol.name) return std::nullopt;
  bool function = isFunction(symbol);
  auto names = [&](const Visible& visible) -> const PersistentMap<std::size_t>& {
    return function ? visible.funcs : visible.vars;
  };
  if (symbol.parent) {
    for (std::size_t m : symbols_[*symbol.parent].members) {
      if (symbols_[m].name == name && isFunction(symbols_[m]) == function) {
        return std::string(name) + " is already declared in " + symbols_[*symbol.parent].name;
      }
    }
  }
  // Each use must still find this declaration, and no use of another must find it instead.
  for (std::size_t o : bySymbol_[id]) {
    const std::size_t* other = names(occurrences_[o].visible).find(name);
    if (other && symbols_[*other].depth >= symbol.depth) {
      return "a use of " + symbol.name + " would refer to the " + symbols_[*other].detail +
             " instead";
    }
  }
  for (const Occurrence& occurrence : occurrences_) {
    const Symbol& other = symbols_[occurrence.symbol];
    if (other.name != name || isFunction(other) != function) continue;
    const std::size_t* found = names(occurrence.visible).find(symbol.name);
    if (found && *found == id && symbol.depth >= other.depth) {
      return "a use of " + std::string(name) + " would refer to the renamed " + symbol.detail;
    }
  }
  return std::nullopt;
}

const std::vector<std::string_view>& keywords() {
  static const std::vector<std::string_view> kKeywords = {
      "byte", "else", "false", "if", "int", "proc", "reference", "return", "true", "while"};
  return kKeywords;
}

bool isName(std::string_view name) {
  auto letter = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
  if (name.empty() || !letter(name[0])) return false;
  for (char c : name) {
    if (!letter(c) && !(c >= '0' && c <= '9') && c != '_') return false;
  }
  return std::find(keywords().begin(), keywords().end(), name) == keywords().end();
}

}  // namespace vrel::lsp
