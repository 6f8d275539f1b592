#include "ast/reader.h"

#include <gtest/gtest.h>
#include <pthread.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>

#include "support/large_stack.h"

namespace vrel::ast {
namespace {

std::string readData(const char* name) {
  std::ifstream in(std::filesystem::path(__FILE__).parent_path() / "reader" / name,
                   std::ios::binary);
  EXPECT_TRUE(in) << name;
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

Prog mainWith(Stmt body, std::vector<LocalDef> locals = {}) {
  return Prog{FuncDef{"m", Rnothing{}, {}, std::move(locals), std::move(body)}};
}

// The one-line text of a main function "m" with `body`.
std::string mainText(const std::string& body) {
  return "Prog(FuncDef(\"m\",Rnothing,[],[]," + body + "))";
}

// The expression of `return e;`, the only statement of the text's main function, with the
// tree it lives in.
struct Returned {
  Prog prog;
  Expr expr;
};

std::optional<Returned> returned(const std::string& expr) {
  auto prog = readProg(mainText("Sreturn(EOexpr(" + expr + "))"));
  if (!prog) return std::nullopt;
  Expr e = std::get<EOexpr>(std::get<Sreturn>(prog->main.body.variant()).value.variant()).expr;
  return Returned{std::move(*prog), e};
}

// Whether the expression of `return e;` reads as `expected`.
bool returns(const std::string& expr, const Expr& expected) {
  auto r = returned(expr);
  return r && r->expr == expected;
}

std::optional<std::string> stringText(const std::string& literal) {
  auto r = returned("Elval(Lstr " + literal + ")");
  if (!r) return std::nullopt;
  return std::get<Lstr>(std::get<Elval>(r->expr.variant()).lvalue.variant()).text.str();
}

std::optional<std::int32_t> number(const std::string& digits) {
  auto r = returned("Enum " + digits);
  if (!r) return std::nullopt;
  return std::get<Enum>(r->expr.variant()).value;
}

Expr var(const char* name) {
  return Elval{LPrim{name}};
}

TEST(ReaderTest, WriterLayoutAndOneLineFormsReadAlike) {
  Prog expected = mainWith(Sblock{{Sskip{}}});
  EXPECT_EQ(readProg(readData("skip.ast")), expected);
  EXPECT_EQ(readProg(R"(Prog(FuncDef("m",Rnothing,[],[],Sblock([Sskip]))))"), expected);
  EXPECT_EQ(readProg(R"(Prog (FuncDef ("m", Rnothing, [], [], Sblock [Sskip])))"), expected);
  EXPECT_EQ(readProg("\tProg\r\n(\n FuncDef\t(\"m\"\r,Rnothing ,[ ] ,[\n],Sblock[ Sskip ] ) ) "),
            expected);
}

TEST(ReaderTest, ReadsTheWriterLayoutOfAProgram) {
  Type byte = TPrim{DataType::Dbyte};
  Prog expected{
      FuncDef{"main",
              Rnothing{},
              {},
              {LVar{VarDef{byte, "c", 0}}},
              Sblock{{Sassign{LPrim{"c"}, Echar{"a"}}, Scall{FuncCall{"writeChar", {var("c")}}}}}}};
  EXPECT_EQ(readProg(readData("example.ast")), expected);
}

TEST(ReaderTest, ReadsEveryConstructorInFieldOrder) {
  Type integer = TPrim{DataType::Dinteger};
  Type bytes = TArr{TPrim{DataType::Dbyte}};
  FuncDef inner{"g", Rtype{TArr{bytes}}, {}, {}, Sblock{{}}};
  Cond cond = Blogop{LogOp::LOor, Bnot{Btrue{}},
                     Blogop{LogOp::LOand, Bfalse{}, Brelop{RelOp::ROge, var("n"), Enum{2}}}};
  Expr expr = Ebinop{BinOp::BOtimes, Eunop{UnOp::UOminus, Eparen{Echar{"'"}}},
                     Ecall{FuncCall{"g", {Elval{LArr{"s", Enum{0}}}, Elval{Lstr{"hi"}}}}}};
  Prog expected{FuncDef{"f",
                        Rtype{integer},
                        {Param{"n", integer, PassMode::ByVal}, Param{"s", bytes, PassMode::ByRef}},
                        {LFunc{inner}, LVar{VarDef{bytes, "a", 10}}},
                        Sblock{{Sifelse{cond, Sassign{LArr{"a", Enum{1}}, expr}, Sskip{}},
                                Swhile{Btrue{}, Sif{Bfalse{}, Scall{FuncCall{"g", {}}}}},
                                Sreturn{EOnone{}}, Sreturn{EOexpr{Enum{7}}}}}}};
  EXPECT_EQ(readProg(R"(Prog (FuncDef ("f", Rtype (TPrim Dinteger),
      [("n", TPrim Dinteger, ByVal), ("s", TArr (TPrim Dbyte), ByRef)],
      [LFunc (FuncDef ("g", Rtype (TArr (TArr (TPrim Dbyte))), [], [], Sblock [])),
       LVar (VarDef (TArr (TPrim Dbyte), "a", 10))],
      Sblock [
        Sifelse (Blogop (LOor, Bnot Btrue,
                         Blogop (LOand, Bfalse, Brelop (ROge, Elval (LPrim "n"), Enum 2))),
                 Sassign (LArr ("a", Enum 1),
                          Ebinop (BOtimes, Eunop (UOminus, Eparen (Echar "\'")),
                                  Ecall ("g", [Elval (LArr ("s", Enum 0)), Elval (Lstr "hi")]))),
                 Sskip),
        Swhile (Btrue, Sif (Bfalse, Scall ("g", []))),
        Sreturn EOnone,
        Sreturn (EOexpr (Enum 7))])))"),
            expected);
}

// Fields of one type are checked by name: a tree built the way it is read would still compare
// equal if two of them traded places in their struct.
TEST(ReaderTest, ReadsFieldsOfOneTypeIntoTheFieldsOfTheirNames) {
  auto binop = returned("Ebinop(BOminus,Enum 1,Enum 2)");
  ASSERT_TRUE(binop);
  auto minus = std::get<Ebinop>(binop->expr.variant());
  EXPECT_EQ(minus.left, Expr(Enum{1}));
  EXPECT_EQ(minus.right, Expr(Enum{2}));

  auto prog = readProg(
      mainText("Sifelse(Blogop(LOand,Brelop(ROlt,Enum 3,Enum 4),Bfalse),Sskip,Sblock [])"));
  ASSERT_TRUE(prog);
  auto branch = std::get<Sifelse>(prog->main.body.variant());
  EXPECT_EQ(branch.then, Stmt(Sskip{}));
  EXPECT_EQ(branch.otherwise, Stmt(Sblock{{}}));
  auto conjunction = std::get<Blogop>(branch.cond.variant());
  EXPECT_EQ(conjunction.right, Cond(Bfalse{}));
  auto less = std::get<Brelop>(conjunction.left.variant());
  EXPECT_EQ(less.left, Expr(Enum{3}));
  EXPECT_EQ(less.right, Expr(Enum{4}));
}

TEST(ReaderTest, ReadsEveryMemberOfEachEnumeration) {
  const char* binOps[] = {"BOplus", "BOminus", "BOtimes", "BOdiv", "BOmod", "BOeq", "BOne",
                          "BOlt",   "BOgt",    "BOle",    "BOge",  "BOand", "BOor"};
  for (int i = 0; i < 13; ++i)
    EXPECT_TRUE(returns(std::string("Ebinop(") + binOps[i] + ",Enum 1,Enum 2)",
                        Ebinop{static_cast<BinOp>(i), Enum{1}, Enum{2}}))
        << binOps[i];
  const char* unOps[] = {"UOplus", "UOminus", "UOarrsz"};
  for (int i = 0; i < 3; ++i)
    EXPECT_TRUE(returns(std::string("Eunop(") + unOps[i] + ",Enum 1)",
                        Eunop{static_cast<UnOp>(i), Enum{1}}))
        << unOps[i];
  const char* relOps[] = {"ROeq", "ROne", "ROlt", "ROgt", "ROle", "ROge"};
  for (int i = 0; i < 6; ++i)
    EXPECT_EQ(
        readProg(mainText(std::string("Swhile(Brelop(") + relOps[i] + ",Enum 1,Enum 2),Sskip)")),
        mainWith(Swhile{Brelop{static_cast<RelOp>(i), Enum{1}, Enum{2}}, Sskip{}}));
  EXPECT_EQ(readProg(mainText("Sif(Blogop(LOand,Btrue,Bfalse),Sskip)")),
            mainWith(Sif{Blogop{LogOp::LOand, Btrue{}, Bfalse{}}, Sskip{}}));
}

TEST(ReaderTest, SkipsRedundantParenthesesAroundAnyValue) {
  Prog expected = mainWith(Sblock{{Sassign{LPrim{"x"}, Enum{1}}}},
                           {LVar{VarDef{TPrim{DataType::Dinteger}, "x", 0}}});
  for (
      const char* text : {
          R"(Prog(FuncDef("m",Rnothing,[],[LVar(VarDef(TPrim Dinteger,"x",0))],)"
          R"(Sblock[Sassign(LPrim "x",Enum 1)])))",
          R"(((Prog(((FuncDef(((("m"),(Rnothing),([]),([((LVar(((VarDef((((TPrim((Dinteger)))),)"
          R"((("x")),((0)))))))))]),(Sblock(([(Sassign(((LPrim(("x")))),((Enum((1))))))]))))))))))))",
          R"(Prog(FuncDef((("m"),Rnothing,[],[LVar(VarDef((((TPrim Dinteger)),"x",0)))],)"
          R"(Sblock[Sassign((LPrim "x"),Enum 1)]))))",
      })
    EXPECT_EQ(readProg(text), expected) << text;
}

TEST(ReaderTest, DecodesEachEscape) {
  EXPECT_EQ(stringText(R"("\n\t\r\0\\\'\"")"), std::string("\n\t\r\0\\'\"", 7));
  EXPECT_EQ(stringText(R"("\x41\x6a\x6B\xff\x00")"), std::string("Ajk\xff\0", 5));
  EXPECT_EQ(stringText(R"("\012")"), std::string("\0"
                                                 "12",
                                                 3));
  EXPECT_EQ(stringText(R"("\x41bc")"), "Abc");
  EXPECT_EQ(stringText(R"("a\x41b\n")"), "aAb\n");
  EXPECT_EQ(stringText("\"tab\there\rcr \xe9'\""), "tab\there\rcr \xe9'");
  EXPECT_EQ(stringText(R"("")"), "");
  EXPECT_TRUE(returns(R"(Echar "\'")", Echar{"'"}));
  EXPECT_TRUE(returns(R"(Echar "\0")", Echar{std::string(1, '\0')}));
}

// Texts that differ only in length, in a NUL byte, in their eighth or ninth byte, or in a high
// bit, and thousands of names that come back, each read back as exactly itself.
TEST(ReaderTest, KeepsEveryTextApartHoweverAlike) {
  std::vector<std::string> texts = {"",
                                    "a",
                                    std::string("a\0", 2),
                                    std::string("a\0\0", 3),
                                    "b",
                                    "ab",
                                    "abcdefgh",
                                    "abcdefgi",
                                    "abcdefghi",
                                    "abcdefgh ",
                                    "\xff",
                                    "\xff\xff",
                                    "\x7f",
                                    std::string(8, '\0')};
  for (int i = 0; i < 3000; ++i) texts.push_back("x" + std::to_string(i % 1500));
  std::string body = "Sblock([";
  for (std::size_t i = 0; i < texts.size(); ++i) {
    if (i > 0) body += ",";
    body += "Sassign(LPrim(\"x" + std::to_string(i % 7) + "\"),Elval(Lstr \"" + texts[i] + "\"))";
  }
  auto prog = readProg(mainText(body + "])"));
  ASSERT_TRUE(prog);
  List<Stmt> stmts = std::get<Sblock>(prog->main.body.variant()).stmts;
  ASSERT_EQ(stmts.size(), texts.size());
  for (std::size_t i = 0; i < texts.size(); ++i) {
    auto assign = std::get<Sassign>(stmts[i].variant());
    EXPECT_EQ(std::get<LPrim>(assign.target.variant()).name.str(), "x" + std::to_string(i % 7));
    Expr value = assign.value;
    EXPECT_EQ(std::get<Lstr>(std::get<Elval>(value.variant()).lvalue.variant()).text.str(),
              texts[i])
        << i;
  }
}

TEST(ReaderTest, TakesIntegersModulo2To32) {
  EXPECT_EQ(number("007"), 7);
  EXPECT_EQ(number("2147483647"), 2147483647);
  EXPECT_EQ(number("2147483648"), INT32_MIN);
  EXPECT_EQ(number("4294967295"), -1);
  EXPECT_EQ(number("4294967296"), 0);
  EXPECT_EQ(number("4294967297"), 1);
  std::string digits = "1" + std::string(99, '0');  // 10^99
  std::uint32_t expected = 1;
  for (int i = 0; i < 99; ++i) expected *= 10;
  EXPECT_EQ(number(digits), static_cast<std::int32_t>(expected));
  EXPECT_EQ(number(std::string(100, '0') + "42"), 42);
}

TEST(ReaderTest, RejectsMalformedText) {
  const std::string ok = mainText("Sblock[Sskip]");
  ASSERT_TRUE(readProg(ok));
  for (const std::string& text : {
           std::string(""),
           std::string(" \n\t\r"),
           std::string("prog"),
           std::string("Program(FuncDef(\"m\",Rnothing,[],[],Sskip))"),
           mainText("Sblock[Skip]"),                        // unknown constructor
           mainText("Sblock[Enum 1]"),                      // constructor of another type
           mainText("Sblock[Sskip,]"),                      // element missing
           mainText("Sblock[Sskip Sskip]"),                 // "," missing
           mainText("Sblock[Sskip"),                        // "]" missing
           mainText("Sblock([Sskip]"),                      // ")" missing
           mainText("Sblock(Sskip)"),                       // not a list
           mainText("Sblock"),                              // field missing
           mainText("Sskip Sskip"),                         // nullary with a field
           mainText("Sreturn EOexpr (Enum 1)"),             // application as an argument
           mainText("Sreturn(EOexpr(Elval LPrim \"x\"))"),  // application as an argument
           mainText("Sassign(LPrim \"x\")"),                // tuple too short
           mainText("Sassign(LPrim \"x\",Enum 1,Enum 2)"),  // tuple too long
           mainText("Sassign()"),                           // empty tuple
           mainText("Sassign LPrim \"x\""),                 // tuple without parentheses
           mainText("Sreturn(EOexpr(Enum(-1)))"),           // negative literal
           mainText("Sreturn(EOexpr(Enum 1x))"),
           mainText("Sreturn(EOexpr(Enum \"1\"))"),  // string for an integer
           mainText("Sreturn(EOexpr(Enum))"),
           mainText("Sreturn(EOexpr(Echar \"ab\"))"),  // a character is one byte
           mainText("Sreturn(EOexpr(Echar \"\"))"),
           mainText("Scall(\"write Char\",[])"),  // a name is an identifier
           mainText("Scall(\"1f\",[])"),
           mainText("Scall(\"\",[])"),
           mainText("Scall(f,[])"),
           std::string("Prog(FuncDef(\"m\",Rnothing,[(\"x\",TPrim Dinteger)],[],Sskip))"),
           std::string("Prog(FuncDef(\"m\",Rnothing,[],[VarDef(TPrim Dinteger,\"x\",0)],Sskip))"),
           std::string("Prog(FuncDef(\"m\",Rnothing,[],[],Sskip)"),
           std::string("Prog FuncDef(\"m\",Rnothing,[],[],Sskip)"),
           std::string("(Prog(FuncDef(\"m\",Rnothing,[],[],Sskip))"),
       })
    EXPECT_FALSE(readProg(text)) << text;
}

TEST(ReaderTest, RejectsBadStringLiterals) {
  for (const char* literal : {R"("\q")", R"("\x4")", R"("\x4g")", R"("\xg4")", R"("\8")", R"("\ ")",
                              "\"a\nb\"", R"("abc)", R"("abc\")", "\"", R"('a')", R"("\X41")"})
    EXPECT_FALSE(stringText(literal)) << literal;
}

TEST(ReaderTest, FailsOnEveryTruncationOfAText) {
  std::string text = readData("example.ast");
  std::size_t end = text.rfind(')') + 1;
  for (std::size_t length = 0; length <= text.size(); ++length)
    EXPECT_EQ(readProg(std::string_view(text).substr(0, length)).has_value(), length >= end)
        << length;
}

TEST(ReaderTest, IgnoresWhateverFollowsAProg) {
  Prog expected = mainWith(Sskip{});
  for (const char* junk : {"", "\n", "\n\n", ")", " junk \"unterminated", "Prog(", "\\x", "\0"})
    EXPECT_EQ(readProg(mainText("Sskip") + junk), expected) << junk;
  EXPECT_EQ(readProg("((" + mainText("Sskip") + "))))"), expected);
}

// `levels` nestings of `open` + ... + `close` around `core`.
std::string nest(const std::string& open, const std::string& core, const std::string& close,
                 std::size_t levels) {
  std::string text;
  text.reserve(levels * (open.size() + close.size()) + core.size());
  for (std::size_t i = 0; i < levels; ++i) text += open;
  text += core;
  for (std::size_t i = 0; i < levels; ++i) text += close;
  return text;
}

TEST(ReaderTest, ReadsDeepNestingOnTheLargeStack) {
  runWithLargeStack([] {
    constexpr std::size_t kLevels = 100'000;
    EXPECT_EQ(readProg(nest("(", mainText("Sskip"), ")", kLevels)), mainWith(Sskip{}));
    EXPECT_EQ(readProg(mainText("Sreturn(EOexpr" + nest("(", "Enum 1", ")", kLevels) + ")")),
              mainWith(Sreturn{EOexpr{Enum{1}}}));

    Expr expr = Enum{1};
    Cond cond = Btrue{};
    Stmt stmt = Sskip{};
    for (std::size_t i = 0; i < kLevels; ++i) {
      expr = Eparen{expr};
      cond = Bnot{cond};
      stmt = Sblock{{stmt}};
    }
    EXPECT_EQ(
        readProg(mainText("Sreturn(EOexpr(" + nest("Eparen(", "Enum 1", ")", kLevels) + "))")),
        mainWith(Sreturn{EOexpr{expr}}));
    EXPECT_EQ(readProg(mainText("Swhile(" + nest("Bnot(", "Btrue", ")", kLevels) + ",Sskip)")),
              mainWith(Swhile{cond, Sskip{}}));
    EXPECT_EQ(readProg(mainText(nest("Sblock[", "Sskip", "]", kLevels))), mainWith(stmt));
  });
}

// Hands out a text a few bytes at a time, so that every token meets the end of a block.
class TrickleSource : public ByteSource {
 public:
  TrickleSource(std::string_view text, std::size_t step) : rest_(text), step_(step) {}
  std::size_t read(char* buffer, std::size_t capacity) override {
    std::size_t n = std::min({capacity, step_, rest_.size()});
    rest_.copy(buffer, n);
    rest_.remove_prefix(n);
    return n;
  }

 private:
  std::string_view rest_;
  std::size_t step_;
};

TEST(ReaderTest, ReadsTheSameTreeWhateverBlocksTheTextComesIn) {
  std::string text = readData("example.ast");
  std::optional<Prog> whole = readProg(text);
  ASSERT_TRUE(whole);
  for (std::size_t step : {1, 2, 3, 7}) {
    TrickleSource source(text, step);
    EXPECT_EQ(readProg(source), whole) << step;
  }
  std::string escapes = mainText(R"(Sreturn(EOexpr(Elval(Lstr "a\x41\n\"\0z"))))");
  for (std::size_t step : {1, 2, 3}) {
    TrickleSource source(escapes, step);
    EXPECT_EQ(readProg(source), mainWith(Sreturn{EOexpr{Elval{Lstr{std::string("aA\n\"\0z", 6)}}}}))
        << step;
  }
  // Around the end of the first block of the scanner's buffer.
  for (std::size_t blanks = 4080; blanks < 4100; ++blanks)
    EXPECT_EQ(readProg(std::string(blanks, ' ') + text), whole) << blanks;
}

std::string eparens(std::size_t levels) {
  return mainText("Sreturn(EOexpr(" + nest("Eparen(", "Enum 1", ")", levels) + "))");
}

TEST(ReaderTest, RefusesNestingBeyondTheCap) {
  runWithLargeStack([] {
    EXPECT_TRUE(readProg(eparens(999'000)));
    EXPECT_THROW(readProg(eparens(1'000'000)), NestingTooDeep);
    EXPECT_THROW(readProg(eparens(3'000'000)), NestingTooDeep);
    EXPECT_THROW(readProg(mainText(nest("Sblock[", "Sskip", "]", 500'000))), NestingTooDeep);
  });
}

// Runs `work` on a thread with a stack of `bytes`.
void onStackOf(std::size_t bytes, const std::function<void()>& work) {
  pthread_attr_t attr;
  ASSERT_EQ(pthread_attr_init(&attr), 0);
  ASSERT_EQ(pthread_attr_setstacksize(&attr, bytes), 0);
  pthread_t thread;
  auto run = [](void* w) -> void* {
    (*static_cast<const std::function<void()>*>(w))();
    return nullptr;
  };
  ASSERT_EQ(pthread_create(&thread, &attr, run, const_cast<std::function<void()>*>(&work)), 0);
  pthread_attr_destroy(&attr);
  pthread_join(thread, nullptr);
}

TEST(ReaderTest, BoundsTheNestingByTheStackItRunsOn) {
  onStackOf(std::size_t{1} << 20, [] {
    std::size_t depth = nestingDepthForStack();
    EXPECT_GT(depth, 300u);
    EXPECT_LT(depth, (std::size_t{1} << 20) / kStackBytesPerLevel);
    EXPECT_TRUE(readProg(eparens(depth / 2)));
    EXPECT_THROW(readProg(eparens(depth)), NestingTooDeep);
    EXPECT_THROW(readProg(mainText(nest("Sblock[", "Sskip", "]", depth))), NestingTooDeep);
    EXPECT_TRUE(readProg(nest("(", mainText("Sskip"), ")", 100'000)));  // counted, not nested
  });
}

// A tree of any depth is freed in one piece, even on a small stack.
TEST(ReaderTest, FreesADeepTreeWithoutRecursion) {
  std::optional<Prog> prog;
  runWithLargeStack([&] { prog = readProg(eparens(900'000)); });
  ASSERT_TRUE(prog);
  onStackOf(std::size_t{64} << 10, [&] { prog.reset(); });
  EXPECT_FALSE(prog);
}

TEST(ReaderTest, ReadsATextLongerThanOneBlock) {
  std::string stmts = "Sskip";
  for (int i = 0; i < 200'000; ++i) stmts += ",\n  Sassign(LPrim \"counter\", Enum 123456789)";
  std::optional<Prog> prog = readProg(mainText("Sblock[" + stmts + "]"));
  ASSERT_TRUE(prog);
  Sblock body = std::get<Sblock>(prog->main.body.variant());
  ASSERT_EQ(body.stmts.size(), 200'001u);
  EXPECT_EQ(body.stmts[200'000], Stmt(Sassign{LPrim{"counter"}, Enum{123456789}}));
  std::string name(100'000, 'n');
  std::string text(300'000, 't');
  EXPECT_EQ(readProg(mainText("Scall(\"" + name + "\",[Elval(Lstr \"" + text + "\")])")),
            mainWith(Scall{FuncCall{name, {Elval{Lstr{text}}}}}));
}

}  // namespace
}  // namespace vrel::ast
