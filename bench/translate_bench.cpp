// Translation cost of a large program of ordinary statements, of wide scopes and of deep nesting.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <sstream>
#include <string>

#include "codegen/translate.h"
#include "support/large_stack.h"

namespace {

using namespace vrel::ast;

const Type kInt = TPrim{DataType::Dinteger};

Prog mainWith(std::vector<LocalDef> locals, std::vector<Stmt> body) {
  return Prog{FuncDef{"main", Rnothing{}, {}, std::move(locals), Sblock{std::move(body)}}};
}

// One function with n local variables, each assigned once.
Prog manyLocals(int n) {
  std::vector<LocalDef> locals;
  std::vector<Stmt> body;
  for (int i = 0; i < n; ++i) {
    std::string name = "v" + std::to_string(i);
    locals.push_back(LVar{VarDef{kInt, name, 0}});
    body.push_back(Sassign{LPrim{name}, Enum{i}});
  }
  return mainWith(std::move(locals), std::move(body));
}

// One function with n nested functions side by side, each called once.
Prog manySiblingFunctions(int n) {
  std::vector<LocalDef> locals;
  std::vector<Stmt> body;
  for (int i = 0; i < n; ++i) {
    std::string name = "f" + std::to_string(i);
    locals.push_back(LFunc{FuncDef{name, Rnothing{}, {}, {LVar{VarDef{kInt, "x", 0}}}, Sblock{}}});
    body.push_back(Scall{FuncCall{name, {}}});
  }
  return mainWith(std::move(locals), std::move(body));
}

// n functions each nested in the previous one; the innermost calls the outermost.
Prog deeplyNestedFunctions(int n) {
  FuncDef func{
      "f0", Rnothing{}, {}, {}, Sblock{{Scall{FuncCall{"f" + std::to_string(n - 1), {}}}}}};
  for (int i = 1; i < n; ++i) {
    func = FuncDef{"f" + std::to_string(i), Rnothing{}, {}, {LFunc{func}}, Sblock{}};
  }
  return mainWith({LFunc{func}}, {});
}

Expr var(const std::string& name) {
  return Elval{LPrim{name}};
}
Expr element(const std::string& name, Expr index) {
  return Elval{LArr{name, std::move(index)}};
}
Expr binop(BinOp op, Expr left, Expr right) {
  return Ebinop{op, std::move(left), std::move(right)};
}
Stmt call(const std::string& name, std::vector<Expr> args) {
  return Scall{FuncCall{name, std::move(args)}};
}

// The i-th statement of a function with the parameters p (int), q (reference int), s (int []).
Stmt mixedStatement(int i) {
  switch (i % 8) {
    case 0:  // y = p * 3 + s[i % 10];
      return Sassign{LPrim{"y"}, binop(BinOp::BOplus, binop(BinOp::BOtimes, var("p"), Enum{3}),
                                       element("s", Enum{i % 10}))};
    case 1:  // a[y % 100] = y - q;
      return Sassign{LArr{"a", binop(BinOp::BOmod, var("y"), Enum{100})},
                     binop(BinOp::BOminus, var("y"), var("q"))};
    case 2:  // inc(q);
      return call("inc", {var("q")});
    case 3:  // if (y < p) q = q + 2; else writeInteger(y);
      return Sifelse{Brelop{RelOp::ROlt, var("y"), var("p")},
                     Sassign{LPrim{"q"}, binop(BinOp::BOplus, var("q"), Enum{2})},
                     call("writeInteger", {var("y")})};
    case 4:  // while (y > 0 & !(q == 3)) y = y - 1;
      return Swhile{Blogop{LogOp::LOand, Brelop{RelOp::ROgt, var("y"), Enum{0}},
                           Bnot{Brelop{RelOp::ROeq, var("q"), Enum{3}}}},
                    Sassign{LPrim{"y"}, binop(BinOp::BOminus, var("y"), Enum{1})}};
    case 5:  // x = g(y, a[3]);
      return Sassign{LPrim{"x"}, Ecall{FuncCall{"g", {var("y"), element("a", Enum{3})}}}};
    case 6:  // writeString("hello");
      return call("writeString", {Elval{Lstr{"hello"}}});
    default:  // b = 'z';
      return Sassign{LPrim{"b"}, Echar{"z"}};
  }
}

// `functions` nested functions of 1,000 statements each inside main, each called once.
Prog statementMix(int functions) {
  const Type intArray = TArr{kInt};
  std::vector<LocalDef> locals{
      LVar{VarDef{kInt, "x", 0}},
      LVar{VarDef{intArray, "a", 100}},
      LVar{VarDef{TPrim{DataType::Dbyte}, "b", 0}},
      LFunc{FuncDef{"inc",
                    Rnothing{},
                    {Param{"r", kInt, PassMode::ByRef}},
                    {},
                    Sblock{{Sassign{LPrim{"r"}, binop(BinOp::BOplus, var("r"), Enum{1})}}}}},
      LFunc{FuncDef{"g",
                    Rtype{kInt},
                    {Param{"v", kInt, PassMode::ByVal}, Param{"w", kInt, PassMode::ByRef}},
                    {},
                    Sblock{{Sreturn{EOexpr{binop(BinOp::BOplus, var("v"), var("w"))}}}}}},
  };
  std::vector<Stmt> body;
  for (int f = 0; f < functions; ++f) {
    std::string name = "f" + std::to_string(f);
    std::vector<Stmt> stmts;
    for (int i = 0; i < 1000; ++i) stmts.push_back(mixedStatement(i));
    stmts.push_back(Sreturn{EOexpr{var("y")}});
    locals.push_back(
        LFunc{FuncDef{name,
                      Rtype{kInt},
                      {Param{"p", kInt, PassMode::ByVal}, Param{"q", kInt, PassMode::ByRef},
                       Param{"s", intArray, PassMode::ByRef}},
                      {LVar{VarDef{kInt, "y", 0}}},
                      Sblock{std::move(stmts)}}});
    body.push_back(
        Sassign{LPrim{"x"}, Ecall{FuncCall{name, {var("x"), element("a", Enum{1}), var("a")}}}});
  }
  return mainWith(std::move(locals), std::move(body));
}

// n functions each nested in the previous one, each assigning ten times a variable of main.
Prog deepLookups(int n) {
  std::vector<Stmt> stmts(10, Sassign{LPrim{"x"}, binop(BinOp::BOplus, var("x"), Enum{1})});
  FuncDef func{"f0", Rnothing{}, {}, {}, Sblock{stmts}};
  for (int i = 1; i < n; ++i) {
    func = FuncDef{"f" + std::to_string(i), Rnothing{}, {}, {LFunc{func}}, Sblock{stmts}};
  }
  return mainWith({LVar{VarDef{kInt, "x", 0}}, LFunc{func}}, {});
}

void translateEach(benchmark::State& state, Prog (*build)(int)) {
  vrel::runWithLargeStack([&] {
    Prog prog = build(static_cast<int>(state.range(0)));
    std::size_t bytes = 0;
    for (auto _ : state) {
      std::ostringstream out;
      vrel::translate(out, prog);
      bytes = out.str().size();
      benchmark::DoNotOptimize(bytes);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
  });
}

void BM_TranslateStatements(benchmark::State& state) {
  translateEach(state, statementMix);
  state.counters["statements"] = static_cast<double>(state.range(0) * 1000);
}

void BM_TranslateDeepLookups(benchmark::State& state) {
  translateEach(state, deepLookups);
}
void BM_TranslateLocals(benchmark::State& state) {
  translateEach(state, manyLocals);
}
void BM_TranslateSiblingFunctions(benchmark::State& state) {
  translateEach(state, manySiblingFunctions);
}
void BM_TranslateNestedFunctions(benchmark::State& state) {
  translateEach(state, deeplyNestedFunctions);
}

BENCHMARK(BM_TranslateStatements)->Arg(100)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_TranslateDeepLookups)->Arg(2000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_TranslateLocals)->Arg(9000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_TranslateSiblingFunctions)->Arg(5000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_TranslateNestedFunctions)->Arg(5000)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
