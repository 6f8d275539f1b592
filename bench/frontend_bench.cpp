// Front-end cost. Each source is generated here and parsed into a temporary AST file. The scanner
// rows (a 100 MiB comment line, a 10 MiB identifier, a 10 MiB string constant) should each take
// under 2 s; the statement programs report time and peak memory per statement (at most 300
// bytes); the deep rows nest every construct as far as the parser stack admits.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <malloc.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>

#include "frontend/frontend.h"

namespace {

namespace fs = std::filesystem;

std::string repeat(const std::string& text, std::size_t count) {
  std::string out;
  out.reserve(text.size() * count);
  for (std::size_t i = 0; i < count; ++i) out += text;
  return out;
}

fs::path scratch(const char* suffix) {
  return fs::temp_directory_path() / ("vrel_frontend_bench_" + std::to_string(getpid()) + suffix);
}

// Parses `source` once per iteration into a temporary AST file; reports AST bytes per second and
// source bytes per second.
void parse_into_file(benchmark::State& state, const std::string& source,
                     AstLayout layout = AstLayout::kIndented) {
  fs::path input = scratch(".vrel");
  fs::path output = scratch(".ast");
  std::ofstream(input, std::ios::binary) << source;
  std::uintmax_t ast_bytes = 0;
  for (auto _ : state) {
    int fd = open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    int result = vrel_parse_fd(input.c_str(), fd, output.c_str(), layout);
    close(fd);
    if (result != kFrontEndAccepted) {
      state.SkipWithError("the front end rejected the program");
      break;
    }
    ast_bytes = fs::file_size(output);
  }
  state.SetBytesProcessed(static_cast<int64_t>(ast_bytes * state.iterations()));
  state.counters["ast_MB"] = static_cast<double>(ast_bytes) / 1e6;
  state.counters["source_rate"] = benchmark::Counter(
      static_cast<double>(source.size() * state.iterations()), benchmark::Counter::kIsRate);
  fs::remove(input);
  fs::remove(output);
}

void BM_CommentLine100MiB(benchmark::State& state) {
  parse_into_file(state, "main () : proc { -- " + std::string(100 << 20, 'c') + "\n}\n");
}
BENCHMARK(BM_CommentLine100MiB)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_Identifier10MiB(benchmark::State& state) {
  parse_into_file(state, "main () : proc { " + std::string(10 << 20, 'i') + " = 1; }\n");
}
BENCHMARK(BM_Identifier10MiB)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_StringConstant10MiB(benchmark::State& state) {
  parse_into_file(state, "main () : proc { \"" + std::string(10 << 20, 's') + "\" = 1; }\n");
}
BENCHMARK(BM_StringConstant10MiB)->Unit(benchmark::kMillisecond)->Iterations(1);

// `functions` functions of 1000 statements each inside main, mixing assignments, arithmetic,
// calls with by-value and by-reference arguments, array elements, if/else, while and conditions.
std::string statement_program(int functions) {
  const std::string body = repeat(
      "    x = x + a[i] * 3 - p / 2;\n"
      "    if (x < 10 & !(y == 2)) y = y + 1; else y = y - 1;\n"
      "    while (i <= 100) i = i + 1;\n"
      "    q = g(x, a[i + 1], y);\n"
      "    writeInteger(x % 7);\n"
      "    a[i] = -x + (y * 2);\n"
      "    if (p > q | i != 0) { x = 1; y = 2; }\n"
      "    b[0] = 'c';\n",
      125);
  std::string source =
      "main () : proc\n  x : int;\n  y : int;\n  a : int [100];\n"
      "  g (u : int, v : int, t : reference int) : int\n  {\n    return u + v + t;\n  }\n";
  for (int f = 0; f < functions; ++f) {
    source += "  f" + std::to_string(f) +
              " (p : int, q : reference int) : int\n    i : int;\n    b : byte [10];\n  {\n" +
              body + "    return x;\n  }\n";
  }
  return source + "{\n  x = f0(1, y);\n}\n";
}

// A field of /proc/self/status in bytes ("VmRSS", "VmHWM").
double status_bytes(const std::string& field) {
  std::ifstream status("/proc/self/status");
  for (std::string name; status >> name;) {
    if (name == field + ":") {
      double kib = 0;
      status >> kib;
      return kib * 1024;
    }
  }
  return 0;
}

// Parses in a child process that first returns its free heap to the system and resets its peak,
// so that the growth of its peak is the front end's memory alone.
void BM_StatementProgram(benchmark::State& state) {
  const auto functions = static_cast<int>(state.range(0));
  const double statements = functions * 1001.0;
  fs::path input = scratch(".vrel");
  fs::path output = scratch(".ast");
  std::ofstream(input, std::ios::binary) << statement_program(functions);
  for (auto _ : state) {
    int pipe_fds[2];
    if (pipe(pipe_fds) != 0) state.SkipWithError("no pipe");
    pid_t pid = fork();
    if (pid == 0) {
      malloc_trim(0);
      std::ofstream("/proc/self/clear_refs") << "5";
      double resident = status_bytes("VmRSS");
      auto start = std::chrono::steady_clock::now();
      int fd = open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      int result = vrel_parse_fd(input.c_str(), fd, output.c_str(), AstLayout::kFlushLeft);
      close(fd);
      double measured[2] = {
          std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 0};
      measured[1] = status_bytes("VmHWM") - resident;
      if (result != kFrontEndAccepted) measured[0] = -1;
      _exit(write(pipe_fds[1], measured, sizeof measured) == sizeof measured ? 0 : 1);
    }
    close(pipe_fds[1]);
    double measured[2] = {-1, 0};
    if (read(pipe_fds[0], measured, sizeof measured) != sizeof measured) measured[0] = -1;
    close(pipe_fds[0]);
    waitpid(pid, nullptr, 0);
    if (measured[0] < 0) {
      state.SkipWithError("the front end rejected the program");
      break;
    }
    state.SetIterationTime(measured[0]);
    state.counters["ns_per_stmt"] = measured[0] * 1e9 / statements;
    state.counters["peak_B_per_stmt"] = measured[1] / statements;
  }
  state.counters["ast_MB"] = static_cast<double>(fs::file_size(output)) / 1e6;
  fs::remove(input);
  fs::remove(output);
}
BENCHMARK(BM_StatementProgram)
    ->Arg(100)
    ->Arg(1000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

// The layout writer's throughput in the indented layout.
void BM_StatementProgramIndented(benchmark::State& state) {
  parse_into_file(state, statement_program(100));
}
BENCHMARK(BM_StatementProgramIndented)->Unit(benchmark::kMillisecond)->Iterations(1);

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

void BM_DeepBlocksFlushLeft(benchmark::State& state) {
  parse_into_file(state, kOpen + repeat("{", kDepth) + repeat("}", kDepth) + kClose,
                  AstLayout::kFlushLeft);
}
BENCHMARK(BM_DeepBlocksFlushLeft)->Unit(benchmark::kMillisecond)->Iterations(1);

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
