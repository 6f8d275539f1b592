// Translation cost of wide scopes and deep nesting: both must stay far below a second.
#include <benchmark/benchmark.h>

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

void translateEach(benchmark::State& state, Prog (*build)(int)) {
  vrel::runWithLargeStack([&] {
    Prog prog = build(static_cast<int>(state.range(0)));
    for (auto _ : state) {
      std::ostringstream out;
      vrel::translate(out, prog);
      benchmark::DoNotOptimize(out.str().size());
    }
  });
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

BENCHMARK(BM_TranslateLocals)->Arg(9000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_TranslateSiblingFunctions)->Arg(5000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_TranslateNestedFunctions)->Arg(5000)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
