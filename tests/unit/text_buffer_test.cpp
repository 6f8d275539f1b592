#include "frontend/text_buffer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "frontend/ast_fragments.h"
#include "frontend/ast_writer.h"

namespace vrel::frontend {
namespace {

using namespace std::string_literals;

// Lays out `fragment` through the writer into a temporary file and reads the bytes back.
std::string layout(const TextBuffer& fragment) {
  std::FILE* file = std::tmpfile();
  AstWriter writer(file, true);
  writer.write(fragment);
  EXPECT_TRUE(writer.finish());
  std::string text(static_cast<std::size_t>(std::ftell(file)), '\0');
  std::rewind(file);
  EXPECT_EQ(std::fread(text.data(), 1, text.size(), file), text.size());
  std::fclose(file);
  return text;
}

class TextBufferTest : public ::testing::Test {
 protected:
  void TearDown() override { buf_release_all(); }
};

TEST_F(TextBufferTest, NestsEveryLineOfAFragment) {
  TextBuffer* two_lines = buf_new();
  buf_add_line(*two_lines, 0, "a");
  buf_add_quoted(*two_lines, 1, "b");
  EXPECT_EQ(layout(*two_lines), "a\n  \"b\"\n");

  TextBuffer* outer = buf_new();
  buf_add_line(*outer, 0, "(");
  buf_add_nested(*outer, 1, *two_lines);
  buf_add_line(*outer, 0, ")");
  TextBuffer* twice = buf_new();
  buf_add_nested(*twice, 2, *outer);
  EXPECT_EQ(layout(*twice), "    (\n      a\n        \"b\"\n    )\n");
}

TEST_F(TextBufferTest, KeepsTokenBytesWithExplicitLength) {
  TextBuffer* token = buf_token("a\0b\xe9\"", 5);
  EXPECT_EQ(token->text, "a\0b\xe9\""s);
  EXPECT_EQ(layout(*frag_quoted("Lstr(", *token)), "Lstr(\n  \"a\0b\xe9\"\"\n)\n"s);
  EXPECT_EQ(buf_token("", 0)->text, "");
}

TEST_F(TextBufferTest, AppendMovesTheLines) {
  TextBuffer* head = frag_leaf("x");
  TextBuffer* tail = frag_pair("P(", *frag_leaf("y"), *frag_leaf("z"));
  buf_append(*head, *tail);
  EXPECT_EQ(tail->first, nullptr);
  EXPECT_EQ(layout(*head), "x\nP(\n  y\n,\n  z\n)\n");
  buf_append(*head, *tail);
  buf_add_line(*head, 0, "end");
  EXPECT_EQ(layout(*head), "x\nP(\n  y\n,\n  z\n)\nend\n");
}

TEST_F(TextBufferTest, BuildsListsFromTheLastElement) {
  TextBuffer* elements = frag_list_first(*frag_leaf("c"));
  elements = frag_list_cons(*frag_leaf("b"), *elements);
  elements = frag_list_cons(*frag_wrap("Bnot(", *frag_leaf("Btrue")), *elements);
  EXPECT_EQ(layout(*frag_list_close(*elements)), "[\n  Bnot(\n    Btrue\n  )\n,\n  b\n,\n  c\n]\n");
  EXPECT_EQ(layout(*frag_list_close(*frag_list_first(*frag_leaf("a")))), "[\n  a\n]\n");
}

TEST_F(TextBufferTest, LaysOutTheFixedTemplates) {
  TextBuffer* scalar = frag_var_def(*frag_leaf("Dinteger"), *buf_token("n", 1), nullptr);
  EXPECT_EQ(layout(*scalar), "VarDef(\n  TPrim(\n    Dinteger\n  )\n,\n  \"n\"\n,\n  0\n)\n");
  TextBuffer* array = frag_var_def(*frag_leaf("Dbyte"), *buf_token("a", 1), buf_token("007", 3));
  EXPECT_EQ(layout(*array),
            "VarDef(\n  TArr(\n    TPrim(\n      Dbyte\n    )\n  )\n,\n  \"a\"\n,\n  007\n)\n");
  TextBuffer* param = frag_param(*buf_token("p", 1), *frag_leaf("T"), "ByRef");
  EXPECT_EQ(layout(*param), "(\n  \"p\"\n,\n  T\n,\n  ByRef\n)\n");
  TextBuffer* call = frag_wrap("Scall(", *frag_call(*buf_token("f", 1), *frag_leaf("[]")));
  EXPECT_EQ(layout(*call), "Scall(\n    \"f\"\n  ,\n    []\n)\n");
  TextBuffer* ret = frag_wrap("Sreturn(EOexpr(", *frag_number(*buf_token("1", 1)), "))");
  EXPECT_EQ(layout(*ret), "Sreturn(EOexpr(\n  Enum(\n    1\n  )\n))\n");
  EXPECT_EQ(layout(*frag_nest(*frag_nest(*frag_leaf("Btrue")))), "    Btrue\n");
}

TEST_F(TextBufferTest, WritesLongLinesAndDeepNestingWithoutRecursion) {
  std::string long_text(3 << 20, 'x');
  TextBuffer* long_line = buf_token(long_text.data(), long_text.size());
  EXPECT_EQ(layout(*frag_quoted("Lstr(", *long_line)), "Lstr(\n  \"" + long_text + "\"\n)\n");

  const int depth = 200000;
  TextBuffer* fragment = frag_leaf("x");
  for (int i = 0; i < depth; ++i) fragment = frag_nest(*fragment);
  EXPECT_EQ(layout(*fragment), std::string(2 * depth, ' ') + "x\n");
}

TEST_F(TextBufferTest, ReportsAFailedWrite) {
  std::FILE* full = std::fopen("/dev/full", "wb");
  ASSERT_NE(full, nullptr);
  AstWriter writer(full, true);
  writer.write(*frag_leaf("Sskip"));
  EXPECT_FALSE(writer.finish());
  std::fclose(full);
}

}  // namespace
}  // namespace vrel::frontend
