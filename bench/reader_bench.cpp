// Reading speed of AST text in the writer's layout (one token per line, two spaces per level) and
// in the same lines without their leading blanks, as the AST file holds them. The target is
// 1 GB/s or more.
#include <benchmark/benchmark.h>

#include <string>

#include "ast/reader.h"

namespace {

// Appends lines in the writer's layout.
class LayoutWriter {
 public:
  void line(int level, const std::string& s) { text_.append(2 * (base_ + level), ' ') += s + '\n'; }
  void quoted(int level, const std::string& s) { line(level, '"' + s + '"'); }
  // Writes `write`'s lines `level` levels deeper.
  template <class F>
  void nest(int level, F write) {
    base_ += level;
    write();
    base_ -= level;
  }
  std::string take() { return std::move(text_); }

 private:
  std::string text_;
  int base_ = 0;
};

void variable(LayoutWriter& w, const std::string& name) {
  w.line(0, "Elval(");
  w.nest(1, [&] {
    w.line(0, "LPrim(");
    w.quoted(1, name);
    w.line(0, ")");
  });
  w.line(0, ")");
}

void number(LayoutWriter& w, int n) {
  w.line(0, "Enum(");
  w.line(1, std::to_string(n));
  w.line(0, ")");
}

// x = (x + i) * 3;
void assignment(LayoutWriter& w, int i) {
  w.line(0, "Sassign(");
  w.nest(1, [&] {
    w.line(0, "LPrim(");
    w.quoted(1, "x");
    w.line(0, ")");
  });
  w.line(0, ",");
  w.nest(1, [&] {
    w.line(0, "Ebinop(BOtimes,");
    w.nest(1, [&] {
      w.line(0, "Eparen(");
      w.nest(1, [&] {
        w.line(0, "Ebinop(BOplus,");
        w.nest(1, [&] { variable(w, "x"); });
        w.line(0, ",");
        w.nest(1, [&] { number(w, i); });
        w.line(0, ")");
      });
      w.line(0, ")");
    });
    w.line(0, ",");
    w.nest(1, [&] { number(w, 3); });
    w.line(0, ")");
  });
  w.line(0, ")");
}

// if (x < i) writeString("line\n");
void conditionalCall(LayoutWriter& w, int i) {
  w.line(0, "Sif(");
  w.nest(1, [&] {
    w.line(0, "Brelop(ROlt,");
    w.nest(1, [&] { variable(w, "x"); });
    w.line(0, ",");
    w.nest(1, [&] { number(w, i); });
    w.line(0, ")");
  });
  w.line(0, ",");
  w.nest(1, [&] {
    w.line(0, "Scall(");
    w.quoted(2, "writeString");
    w.line(1, ",");
    w.nest(2, [&] {
      w.line(0, "[");
      w.nest(1, [&] {
        w.line(0, "Elval(");
        w.nest(1, [&] {
          w.line(0, "Lstr(");
          w.quoted(1, "line\\n");
          w.line(0, ")");
        });
        w.line(0, ")");
      });
      w.line(0, "]");
    });
    w.line(0, ")");
  });
  w.line(0, ")");
}

// A main function with `statements` statements and one local variable.
std::string programText(int statements) {
  LayoutWriter w;
  w.line(0, "Prog(");
  w.nest(1, [&] {
    w.line(0, "FuncDef(");
    w.quoted(1, "main");
    w.line(0, ",");
    w.line(1, "Rnothing");
    w.line(0, ",");
    w.line(1, "[]");
    w.line(0, ",");
    w.nest(1, [&] {
      w.line(0, "[");
      w.nest(1, [&] {
        w.line(0, "LVar(");
        w.nest(1, [&] {
          w.line(0, "VarDef(");
          w.line(1, "TPrim(");
          w.line(2, "Dinteger");
          w.line(1, ")");
          w.line(0, ",");
          w.quoted(1, "x");
          w.line(0, ",");
          w.line(1, "0");
          w.line(0, ")");
        });
        w.line(0, ")");
      });
      w.line(0, "]");
    });
    w.line(0, ",");
    w.nest(1, [&] {
      w.line(0, "Sblock(");
      w.nest(1, [&] {
        w.line(0, "[");
        for (int i = 0; i < statements; ++i) {
          if (i > 0) w.line(0, ",");
          w.nest(1, [&] { i % 2 ? conditionalCall(w, i) : assignment(w, i); });
        }
        w.line(0, "]");
      });
      w.line(0, ")");
    });
    w.line(0, ")");
  });
  w.line(0, ")");
  w.line(0, "");
  return w.take();
}

// `text` without the blanks at the start of its lines.
std::string flushLeft(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  bool lineStart = true;
  for (char c : text) {
    if (lineStart && c == ' ') continue;
    out += c;
    lineStart = c == '\n';
  }
  return out;
}

void readText(benchmark::State& state, const std::string& text) {
  for (auto _ : state) {
    auto prog = vrel::ast::readProg(text);
    if (!prog) state.SkipWithError("the generated text did not read");
    benchmark::DoNotOptimize(prog);
    state.PauseTiming();  // the tree's destruction is not reading
    prog.reset();
    state.ResumeTiming();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
  state.counters["text_bytes"] = static_cast<double>(text.size());
}
void BM_ReadProg(benchmark::State& state) {
  readText(state, programText(static_cast<int>(state.range(0))));
}
BENCHMARK(BM_ReadProg)->Arg(50'000)->Unit(benchmark::kMillisecond);

void BM_ReadProgFlushLeft(benchmark::State& state) {
  readText(state, flushLeft(programText(static_cast<int>(state.range(0)))));
}
BENCHMARK(BM_ReadProgFlushLeft)->Arg(50'000)->Unit(benchmark::kMillisecond);

}  // namespace
