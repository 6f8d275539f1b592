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

  // The scope of the library routines, to declare the main function in.
  std::uint32_t library() {
    Visible visible;
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
    index_.scopes_.push_back(std::move(visible));
    return 0;
  }

  // Declares the function in `scope`, which becomes the scope that follows it there.
  std::size_t func(const FuncDef& f, SourceSpan extent, std::optional<std::size_t> parent,
                   std::uint32_t depth, std::uint32_t& scope) {
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
    scope = declare(id, scope);
    std::uint32_t inner = scope;
    for (const Param& param : f.params) {
      SourceSpan span = where(param);
      std::size_t p = member(id, variable(SymbolKind::kParameter, param.name, span, id, depth + 1,
                                          paramText(param), param.type, 0));
      inner = declare(p, inner);
    }
    for (const LocalDef& local : f.locals) {
      SourceSpan span = where(local);
      if (auto var = local.get_if<LVar>()) {
        const VarDef& v = var->var;
        std::size_t l = member(id, variable(SymbolKind::kVariable, v.name, span, id, depth + 1,
                                            varText(v), v.type, v.size));
        inner = declare(l, inner);
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

  // A parameter or a variable of `function`, declared at `span`.
  Symbol variable(SymbolKind kind, const Name& name, SourceSpan span, std::size_t function,
                  std::uint32_t depth, std::string text, const Type& type, std::int32_t size) {
    return {kind,
            std::string(name),
            nameAt(span, name),
            span,
            function,
            depth,
            std::move(text),
            {},
            {},
            {},
            type,
            std::nullopt,
            size};
  }

  std::size_t member(std::size_t function, Symbol symbol) {
    std::size_t id = add(std::move(symbol));
    index_.symbols_[function].members.push_back(id);
    return id;
  }

  // The scope after `symbol` is declared in `scope`; the declaration is an occurrence there.
  std::uint32_t declare(std::size_t symbol, std::uint32_t scope) {
    const Symbol& declared = index_.symbols_[symbol];
    Visible visible = index_.scopes_[scope];
    (isFunction(declared) ? visible.funcs : visible.vars).insert(declared.name, symbol);
    index_.scopes_.push_back(std::move(visible));
    auto after = static_cast<std::uint32_t>(index_.scopes_.size() - 1);
    index_.occurrences_.push_back({declared.nameSpan, symbol, after, true});
    return after;
  }

  void use(bool function, std::string_view name, SourceSpan at, std::uint32_t scope) {
    const Visible& visible = index_.scopes_[scope];
    if (const std::size_t* symbol = (function ? visible.funcs : visible.vars).find(name)) {
      index_.occurrences_.push_back({nameAt(at, name), *symbol, scope, false});
    }
  }

  void call(const FuncCall& c, SourceSpan at, std::uint32_t scope) {
    use(true, c.name, at, scope);
    for (const Expr& arg : c.args) expr(arg, scope);
  }

  void lvalue(const LValue& l, std::uint32_t scope) {
    std::visit(Overloaded{[&](const LPrim& p) { use(false, p.name, where(l), scope); },
                          [&](const LArr& a) {
                            use(false, a.name, where(l), scope);
                            expr(a.index, scope);
                          },
                          [](const Lstr&) {}},
               l.variant());
  }

  void expr(const Expr& e, std::uint32_t scope) {
    std::visit(Overloaded{[](const Enum&) {}, [](const Echar&) {},
                          [&](const Elval& v) { lvalue(v.lvalue, scope); },
                          [&](const Eunop& u) { expr(u.operand, scope); },
                          [&](const Ebinop& b) {
                            expr(b.left, scope);
                            expr(b.right, scope);
                          },
                          [&](const Ecall& c) { call(c.call, where(e), scope); },
                          [&](const Eparen& p) { expr(p.expr, scope); }},
               e.variant());
  }

  void cond(const Cond& c, std::uint32_t scope) {
    std::visit(Overloaded{[](const Btrue&) {}, [](const Bfalse&) {},
                          [&](const Brelop& r) {
                            expr(r.left, scope);
                            expr(r.right, scope);
                          },
                          [&](const Blogop& l) {
                            cond(l.left, scope);
                            cond(l.right, scope);
                          },
                          [&](const Bnot& n) { cond(n.cond, scope); }},
               c.variant());
  }

  void stmt(const Stmt& s, std::uint32_t scope) {
    std::visit(Overloaded{[&](const Sassign& a) {
                            lvalue(a.target, scope);
                            expr(a.value, scope);
                          },
                          [](const Sskip&) {},
                          [&](const Sblock& b) {
                            for (const Stmt& inner : b.stmts) stmt(inner, scope);
                          },
                          [&](const Scall& c) { call(c.call, where(s), scope); },
                          [&](const Sif& i) {
                            cond(i.cond, scope);
                            stmt(i.then, scope);
                          },
                          [&](const Sifelse& i) {
                            cond(i.cond, scope);
                            stmt(i.then, scope);
                            stmt(i.otherwise, scope);
                          },
                          [&](const Swhile& w) {
                            cond(w.cond, scope);
                            stmt(w.body, scope);
                          },
                          [&](const Sreturn& r) {
                            if (auto value = r.value.get_if<EOexpr>()) expr(value->expr, scope);
                          }},
               s.variant());
  }

  SymbolIndex& index_;
  const SourceMap& map_;
};

SymbolIndex::SymbolIndex(const Prog& prog, const SourceMap& map) {
  Walker walker(*this, map);
  std::uint32_t global = walker.library();
  main_ = walker.func(prog.main, map.span(mainFunctionRef()).value_or(SourceSpan{}), std::nullopt,
                      1, global);
  // The walk meets the names in the order of the text, so the occurrences are mostly in order.
  auto before = [](const Occurrence& a, const Occurrence& b) {
    return a.span.begin < b.span.begin;
  };
  if (!std::is_sorted(occurrences_.begin(), occurrences_.end(), before)) {
    std::stable_sort(occurrences_.begin(), occurrences_.end(), before);
  }
  runs_ = RunIndex<4>(occurrences_, [](const Occurrence& o) { return o.span.begin; });
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
  auto [first, last] = runs_.run(offset);
  auto after = std::upper_bound(
      occurrences_.begin() + first, occurrences_.begin() + last, offset,
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
    const std::size_t* other = names(scopes_[occurrences_[o].scope]).find(name);
    if (other && symbols_[*other].depth >= symbol.depth) {
      return "a use of " + symbol.name + " would refer to the " + symbols_[*other].detail +
             " instead";
    }
  }
  for (const Occurrence& occurrence : occurrences_) {
    const Symbol& other = symbols_[occurrence.symbol];
    if (other.name != name || isFunction(other) != function) continue;
    const std::size_t* found = names(scopes_[occurrence.scope]).find(symbol.name);
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
