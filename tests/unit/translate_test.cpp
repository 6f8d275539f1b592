#include "codegen/translate.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>

#include "ast/reader.h"
#include "codegen/prelude.h"
#include "codegen/text_blocks.h"
#include "support/compile_error.h"
#include "support/large_stack.h"
#include "test_support.h"

namespace vrel {
namespace {

using namespace ast;
namespace fs = std::filesystem;

const fs::path kData = fs::path(__FILE__).parent_path() / "translate";
const Type kInt = TPrim{DataType::Dinteger};

using test::readFile;

struct Outcome {
  std::string text;   // what translate wrote
  std::string error;  // the CompileError message, if any
};

Outcome translateOnLargeStack(const Prog& prog) {
  Outcome outcome;
  runWithLargeStack([&] {
    std::ostringstream out;
    try {
      translate(out, prog);
    } catch (const CompileError& e) {
      outcome.error = e.what();
    }
    outcome.text = out.str();
  });
  return outcome;
}

// Each NAME.ast translates to the prelude followed by exactly NAME.c, or fails with the message
// in NAME.err.
TEST(TranslateTest, ExpectedFiles) {
  int cases = 0;
  for (const auto& entry : fs::directory_iterator(kData)) {
    fs::path ast = entry.path();
    if (ast.extension() != ".ast") continue;
    ++cases;
    SCOPED_TRACE(ast.filename().string());
    std::optional<Prog> prog = readProg(readFile(ast));
    ASSERT_TRUE(prog.has_value());
    Outcome outcome = translateOnLargeStack(*prog);
    fs::path c = fs::path(ast).replace_extension(".c");
    fs::path err = fs::path(ast).replace_extension(".err");
    if (fs::exists(c)) {
      EXPECT_EQ(outcome.error, "");
      ASSERT_TRUE(outcome.text.starts_with(runtimePrelude()));
      EXPECT_EQ(outcome.text.substr(runtimePrelude().size()), readFile(c));
    } else {
      ASSERT_TRUE(fs::exists(err));
      EXPECT_EQ(outcome.error + "\n", readFile(err));
      EXPECT_EQ(outcome.text, "");
    }
  }
  EXPECT_GT(cases, 40);
}

// Compiles generated C files in a fresh directory and runs them.
class CompiledProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("vrel_translate_test_" + std::to_string(getpid()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  // Whether gcc accepts the C text of the tree in the file `name`.
  bool compile(const std::string& name) {
    std::optional<Prog> prog = readProg(readFile(kData / (name + ".ast")));
    if (!prog) return false;
    Outcome outcome = translateOnLargeStack(*prog);
    std::ofstream(dir_ / (name + ".c")) << outcome.text;
    std::string command = "timeout 60 gcc -w -std=gnu99 -o " + (dir_ / name).string() + " " +
                          (dir_ / (name + ".c")).string() + " 2> /dev/null";
    return outcome.error.empty() && std::system(command.c_str()) == 0;
  }

  // The standard output of the compiled program of `name`.
  std::string run(const std::string& name) {
    fs::path out = dir_ / (name + ".out");
    std::string command = "timeout 10 " + (dir_ / name).string() + " < /dev/null > " + out.string();
    EXPECT_EQ(std::system(command.c_str()), 0);
    return readFile(out);
  }

  fs::path dir_;
};

TEST_F(CompiledProgram, ConditionsGroupAsTheSourceMeans) {
  ASSERT_TRUE(compile("conditions_run"));
  // Each digit is one condition that the source makes false (0) or true (1).
  EXPECT_EQ(run("conditions_run"), "01011");
}

TEST_F(CompiledProgram, ConstantsKeepTheirCharacters) {
  ASSERT_TRUE(compile("constants_run"));
  EXPECT_EQ(run("constants_run"), "a\\b|\\|1|2|\\x41|'\"");
}

TEST_F(CompiledProgram, ArgumentsReachTheirParameters) {
  ASSERT_TRUE(compile("arguments_run"));
  EXPECT_EQ(run("arguments_run"), "6 9 120 3");
}

// Trees nested 10,000 levels deep, each built, translated and destroyed on the large stack.
TEST(TranslateTest, DeepTrees) {
  constexpr int kDepth = 10000;
  auto mainWith = [](std::vector<LocalDef> locals, Stmt body) {
    return Prog{FuncDef{"main", Rnothing{}, {}, std::move(locals), std::move(body)}};
  };
  auto x = [] { return Expr{Elval{LPrim{"x"}}}; };
  std::vector<LocalDef> xLocal{LVar{VarDef{kInt, "x", 0}}};
  auto count = [](const std::string& text, const std::string& piece) {
    std::size_t n = 0;
    for (std::size_t at = text.find(piece); at != std::string::npos;
         at = text.find(piece, at + piece.size())) {
      ++n;
    }
    return n;
  };
  runWithLargeStack([&] {
    Expr expr = x();
    for (int i = 0; i < kDepth; ++i) expr = Eparen{Ebinop{BinOp::BOplus, Enum{i}, expr}};
    Cond cond = Brelop{RelOp::ROlt, x(), Enum{0}};
    for (int i = 0; i < kDepth; ++i)
      cond = i % 2 ? Cond{Bnot{cond}} : Blogop{LogOp::LOor, Btrue{}, cond};
    Stmt block = Sassign{LPrim{"x"}, expr};
    for (int i = 0; i < kDepth; ++i) block = Sblock{{block}};
    Stmt ifs = Sif{cond, block};
    for (int i = 0; i < kDepth; ++i) ifs = i % 2 ? Stmt{Sif{Btrue{}, ifs}} : Swhile{Bfalse{}, ifs};
    FuncDef func{"f0", Rnothing{}, {}, {}, Sblock{{Scall{FuncCall{"main", {}}}}}};
    for (int i = 1; i < kDepth; ++i) {
      func = FuncDef{"f" + std::to_string(i), Rnothing{}, {}, {LFunc{func}}, Sblock{}};
    }
    std::vector<LocalDef> locals = xLocal;
    locals.push_back(LFunc{func});

    Outcome outcome = translateOnLargeStack(mainWith(locals, ifs));
    ASSERT_EQ(outcome.error, "");
    EXPECT_EQ(count(outcome.text, "while (0 ) {\n"), kDepth / 2u);
    EXPECT_EQ(count(outcome.text, "if (1 ) {\n"), kDepth / 2u);
    EXPECT_EQ(count(outcome.text, "(1 || "), kDepth / 2u);
    EXPECT_EQ(count(outcome.text, "!("), kDepth / 2u);
    EXPECT_EQ(count(outcome.text, "(9999 + "), 1u);
    EXPECT_EQ(count(outcome.text, "void vrel__f"), std::size_t{kDepth});
    EXPECT_NE(outcome.text.find("vrel__x = (9999 + (9998 + "), std::string::npos);
  });
}

// Pieces small and large, across the growing blocks, come out whole and in order.
TEST(TranslateTest, TextBlocksKeepEveryPiece) {
  TextBlocks blocks;
  std::string expected;
  for (std::size_t i = 0; i < 400; ++i) {
    std::size_t size = i % 50 == 7 ? (i << 11) : i % 13;
    std::string piece(size, static_cast<char>('a' + i % 26));
    blocks.append(piece);
    expected += piece;
  }
  std::ostringstream out;
  blocks.writeTo(out);
  EXPECT_EQ(out.str().size(), expected.size());
  EXPECT_TRUE(out.str() == expected);
}

TEST(TranslateTest, FailedTranslationWritesNothing) {
  Prog prog{FuncDef{"main", Rnothing{}, {}, {}, Sblock{{Scall{FuncCall{"g", {}}}}}}};
  std::ostringstream out;
  EXPECT_THROW(translate(out, prog), CompileError);
  EXPECT_EQ(out.str(), "");
  Prog good{FuncDef{"main", Rnothing{}, {}, {}, Sblock{}}};
  translate(out, good);
  EXPECT_TRUE(out.str().starts_with(runtimePrelude()));
}

}  // namespace
}  // namespace vrel
