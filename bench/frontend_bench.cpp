// Front-end cost: AST text for a million-line program must come out at 100 MB/s or more, and
// nesting as deep as the parser stack admits must finish in seconds.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "frontend/frontend.h"

namespace {

namespace fs = std::filesystem;

std::string repeat(const std::string& text, int count) {
  std::string out;
  out.reserve(text.size() * count);
  for (int i = 0; i < count; ++i) out += text;
  return out;
}

// Parses `source` once per iteration into a temporary AST file; reports AST bytes per second.
void parse_into_file(benchmark::State& state, const std::string& source) {
  std::string stem =
      (fs::temp_directory_path() / ("vrel_frontend_bench_" + std::to_string(getpid()))).string();
  std::string input = stem + ".vrel";
  std::string output = stem + ".ast";
  std::ofstream(input, std::ios::binary) << source;
  std::uintmax_t ast_bytes = 0;
  for (auto _ : state) {
    if (vrel_parse_file(input.c_str(), output.c_str()) != 0) {
      state.SkipWithError("the front end rejected the program");
      break;
    }
    ast_bytes = fs::file_size(output);
  }
  state.SetBytesProcessed(static_cast<int64_t>(ast_bytes * state.iterations()));
  state.counters["ast_MB"] = static_cast<double>(ast_bytes) / 1e6;
  fs::remove(input);
  fs::remove(output);
}

// Statement lists wait whole on the parser stack, so the million lines come in blocks of 1000.
void BM_MillionLineProgram(benchmark::State& state) {
  const std::string block = "  {\n" +
                            repeat(
                                "  x = x + a[i] * 3;\n"
                                "  if (x < 10 & !(y == 2)) writeInteger(f(x, 'c')); else y = -y;\n"
                                "  while (i <= n) i = i + 1;\n"
                                "  s = \"text\";\n",
                                249) +
                            "  ;\n  }\n";
  parse_into_file(state,
                  "main () : proc\n  x : int;\n  a : int [10];\n{\n" + repeat(block, 1000) + "}\n");
}
BENCHMARK(BM_MillionLineProgram)->Unit(benchmark::kMillisecond)->Iterations(3);

const std::string kOpen = "main () : proc {\n";
const std::string kClose = "\n}\n";
constexpr int kDepth = 9980;

void BM_DeepParentheses(benchmark::State& state) {
  parse_into_file(state,
                  kOpen + "x = " + repeat("(", kDepth) + "1" + repeat(")", kDepth) + ";" + kClose);
}
BENCHMARK(BM_DeepParentheses)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_DeepUnaryMinus(benchmark::State& state) {
  parse_into_file(state, kOpen + "x = " + repeat("- ", kDepth) + "1;" + kClose);
}
BENCHMARK(BM_DeepUnaryMinus)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_DeepBlocks(benchmark::State& state) {
  parse_into_file(state, kOpen + repeat("{", kDepth) + repeat("}", kDepth) + kClose);
}
BENCHMARK(BM_DeepBlocks)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_DeepNot(benchmark::State& state) {
  parse_into_file(state, kOpen + "if (" + repeat("!", kDepth) + "true) ;" + kClose);
}
BENCHMARK(BM_DeepNot)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_DeepIf(benchmark::State& state) {
  parse_into_file(state, kOpen + repeat("if (true) ", 2490) + ";" + kClose);
}
BENCHMARK(BM_DeepIf)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_DeepWhile(benchmark::State& state) {
  parse_into_file(state, kOpen + repeat("while (true) ", 2490) + ";" + kClose);
}
BENCHMARK(BM_DeepWhile)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_DeepNestedFunctions(benchmark::State& state) {
  parse_into_file(state, repeat("f () : proc ", 1400) + repeat("{ }", 1400) + "\n");
}
BENCHMARK(BM_DeepNestedFunctions)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
