// The compact tree, its token-text pool and the layout writer, below the parser.
#include "frontend/ast_layout.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace vrel::frontend {
namespace {

using namespace std::string_literals;
using K = NodeKind;

// Lays out `root` into a temporary file and reads the bytes back.
std::string layout(const SyntaxTree& tree, NodeId root, AstLayout how = AstLayout::kIndented) {
  std::FILE* file = std::tmpfile();
  OutputBlocks out(fileno(file));
  write_ast(tree, root, how, out);
  EXPECT_TRUE(out.finish());
  std::string text(static_cast<std::size_t>(lseek(fileno(file), 0, SEEK_END)), '\0');
  EXPECT_EQ(pread(fileno(file), text.data(), text.size(), 0), static_cast<ssize_t>(text.size()));
  std::fclose(file);
  return text;
}

// `size` bytes that differ from one text to the next and include NUL and 255.
std::string pattern(std::size_t size, int seed) {
  std::string text(size, '\0');
  for (std::size_t i = 0; i < size; ++i) text[i] = static_cast<char>((i * 31 + seed) % 256);
  return text;
}

// Adds every text to one tree, then checks that each still reads back whole.
void expect_kept(const std::vector<std::string>& texts) {
  SyntaxTree tree;
  std::vector<TextId> ids;
  for (const std::string& text : texts) ids.push_back(tree.add_text(text.data(), text.size()));
  for (std::size_t i = 0; i < texts.size(); ++i) {
    ASSERT_EQ(tree.text(ids[i]), texts[i]) << "text " << i << " of size " << texts[i].size();
  }
}

// Short texts share blocks and long ones get their own. Around each boundary every length class
// (size modulo 8) is tried: a text that ends exactly at its block's end, one byte before or after
// it, and a text one byte above or below the size that gets a block of its own.
TEST(SyntaxTreeTest, KeepsTextsOfEveryLengthAroundTheBlockEnds) {
  constexpr std::size_t kBlock = SyntaxTree::kTextBlockSize;
  constexpr std::size_t kLong = SyntaxTree::kLongText;
  for (std::size_t extra = 0; extra < 16; ++extra) {
    // Fifteen texts of kLong bytes with their 3-byte length leave kLong bytes of the block.
    std::vector<std::string> texts(kBlock / kLong - 1, std::string(kLong - 3, 'f'));
    texts.push_back(pattern(kLong - 3 - 8 + extra, 1));
    texts.push_back(pattern(5, 2));
    expect_kept(texts);
  }
  for (std::size_t size = kLong - 3 - 8; size <= kLong - 3 + 8; ++size) {
    expect_kept({pattern(7, 3), pattern(size, 4), pattern(size, 5), pattern(9, 6)});
  }
  for (std::size_t size : {0, 1, 7, 8, 127, 128, 129, 16383, 16384, 65542, 135142, 140001}) {
    expect_kept({pattern(size, 7), "x", pattern(size, 8)});
  }
  expect_kept({pattern(3 * kBlock + 5, 9), pattern(kBlock, 10), pattern(kBlock - 1, 11)});
}

// One tree with a node of every shape that takes children in different ways.
NodeId sample(SyntaxTree& tree) {
  auto text = [&](const char* bytes) { return tree.add_text(bytes, std::strlen(bytes)); };
  NodeId element = tree.add(K::kElvalArr, {tree.add(K::kEnum, {}, text("007"))}, text("a"));
  NodeId args =
      tree.add_over(K::kList, tree.prepend(element, tree.add(K::kEchar, {}, text("\\n"))));
  NodeId call = tree.add(K::kScall, {args}, text("f"));
  NodeId test = tree.add(K::kNest, {tree.add(K::kNest, {tree.add(K::kBtrue)})});
  NodeId body =
      tree.add(K::kSblock, {tree.add_over(K::kList, tree.prepend(tree.add(K::kSif, {test, call}),
                                                                 tree.add(K::kSreturnNone)))});
  NodeId local = tree.add(
      K::kLVar, {tree.add(K::kVarArray, {tree.add(K::kDbyte), tree.add(K::kSize, {}, text("10"))},
                          text("a"))});
  NodeId param =
      tree.add(K::kParamByRef,
               {tree.add(K::kTArr, {tree.add(K::kTPrim, {tree.add(K::kDinteger)})})}, text("p"));
  NodeId func = tree.add(K::kFuncDef,
                         {tree.add(K::kRnothing), tree.add_over(K::kList, param),
                          tree.add_over(K::kList, local), body},
                         text("m"));
  return tree.add(K::kProg, {func});
}

constexpr const char* kSampleText =
    "Prog(\n  FuncDef(\n    \"m\"\n  ,\n    Rnothing\n  ,\n    [\n      (\n        \"p\"\n      ,\n"
    "        TArr(\n          TPrim(\n            Dinteger\n          )\n        )\n      ,\n"
    "        ByRef\n      )\n    ]\n  ,\n    [\n      LVar(\n        VarDef(\n          TArr(\n"
    "            TPrim(\n              Dbyte\n            )\n          )\n        ,\n"
    "          \"a\"\n        ,\n          10\n        )\n      )\n    ]\n  ,\n    Sblock(\n"
    "      [\n        Sif(\n              Btrue\n        ,\n          Scall(\n"
    "              \"f\"\n            ,\n              [\n                Elval(\n"
    "                  LArr(\n                    \"a\"\n                  ,\n"
    "                    Enum(\n                      007\n                    )\n"
    "                  )\n                )\n              ,\n                Echar(\n"
    "                  \"\\n\"\n                )\n              ]\n          )\n        )\n"
    "      ,\n        Sreturn(EOnone)\n      ]\n    )\n  )\n)\n";

TEST(AstLayoutTest, LaysOutEachNodeByItsTemplate) {
  SyntaxTree tree;
  NodeId root = sample(tree);
  EXPECT_EQ(layout(tree, root), kSampleText);
  std::string flush_left;
  for (std::string_view rest = kSampleText; !rest.empty();) {
    std::string_view line = rest.substr(0, rest.find('\n') + 1);
    flush_left += line.substr(line.find_first_not_of(' '));
    rest.remove_prefix(line.size());
  }
  EXPECT_EQ(layout(tree, root, AstLayout::kFlushLeft), flush_left);
}

TEST(AstLayoutTest, NestsDeeplyWithoutRecursion) {
  SyntaxTree tree;
  const int depth = 300000;
  NodeId node = tree.add(K::kBfalse);
  for (int i = 0; i < depth; ++i) node = tree.add(K::kNest, {node});
  EXPECT_EQ(layout(tree, node), std::string(2 * depth, ' ') + "Bfalse\n");
  NodeId wrapped = tree.add(K::kBtrue);
  for (int i = 0; i < depth; ++i) wrapped = tree.add(K::kBnot, {wrapped});
  std::string expected;
  for (int i = 0; i < depth; ++i) expected += "Bnot(\n";
  expected += "Btrue\n";
  for (int i = 0; i < depth; ++i) expected += ")\n";
  EXPECT_EQ(layout(tree, wrapped, AstLayout::kFlushLeft), expected);
}

TEST(AstLayoutTest, WritesLinesLongerThanABlock) {
  SyntaxTree tree;
  std::string long_text = pattern(3 * OutputBlocks::kBlockSize + 7, 1);
  NodeId str = tree.add(K::kLstr, {}, tree.add_text(long_text.data(), long_text.size()));
  NodeId node = str;
  for (int i = 0; i < 700; ++i) node = tree.add(K::kNest, {node});
  std::string indent(1400, ' ');
  EXPECT_EQ(layout(tree, node),
            indent + "Lstr(\n" + indent + "  \"" + long_text + "\"\n" + indent + ")\n");
}

// A list of `count` statements "x<i> = <i>;", many blocks of nodes and texts.
NodeId long_list(SyntaxTree& tree, int count) {
  NodeId rest = 0;
  for (int i = count; i > 0; --i) {
    std::string name = "x" + std::to_string(i);
    std::string digits = std::to_string(i);
    NodeId target = tree.add(K::kLPrim, {}, tree.add_text(name.data(), name.size()));
    NodeId value = tree.add(K::kEnum, {}, tree.add_text(digits.data(), digits.size()));
    rest = tree.prepend(tree.add(K::kSassign, {target, value}), rest);
  }
  return tree.add(K::kSblock, {tree.add_over(K::kList, rest)});
}

// The walk that consumes the tree gives its blocks back as it goes (a node or text read after
// its block went back would fault); the text is the same, and a tree consumed this way still
// takes nodes and texts (the parser may scan tokens after the main function).
TEST(AstLayoutTest, ConsumingWalkWritesTheSameTextAndTheTreeTakesMore) {
  constexpr int kCount = 200000;  // several blocks of nodes and of texts
  SyntaxTree kept;
  NodeId kept_root = long_list(kept, kCount);
  for (AstLayout how : {AstLayout::kFlushLeft, AstLayout::kIndented}) {
    std::string want = layout(kept, kept_root, how);
    SyntaxTree tree;
    NodeId root = long_list(tree, kCount);
    std::FILE* file = std::tmpfile();
    {
      OutputBlocks out(fileno(file));
      write_ast_consuming(tree, root, how, out);
      EXPECT_TRUE(out.finish());
    }
    std::string text(static_cast<std::size_t>(lseek(fileno(file), 0, SEEK_END)), '\0');
    EXPECT_EQ(pread(fileno(file), text.data(), text.size(), 0), static_cast<ssize_t>(text.size()));
    std::fclose(file);
    EXPECT_TRUE(text == want);
    for (int i = 0; i < 3; ++i) {
      TextId name = tree.add_text("after", 5);
      NodeId node = tree.add(K::kLPrim, {}, name);
      EXPECT_EQ(tree.text(tree[node].text), "after");
    }
  }
}

// Records the blocks an OutputBlocks shows it.
class BlockRecorder : public AstTextListener {
 public:
  void written(std::string_view block) override { blocks.emplace_back(block); }
  std::vector<std::string> blocks;
};

TEST(AstLayoutTest, TheListenerSeesEveryBlockWrittenAndNoneThatFailed) {
  std::string text = pattern(2 * OutputBlocks::kBlockSize + 5, 2);
  std::FILE* file = std::tmpfile();
  BlockRecorder recorder;
  {
    OutputBlocks out(fileno(file), &recorder);
    out.put(text.substr(0, 10));
    out.put(text.substr(10));
    EXPECT_TRUE(out.finish());
  }
  std::string joined;
  for (const std::string& block : recorder.blocks) {
    EXPECT_LE(block.size(), OutputBlocks::kBlockSize);
    joined += block;
  }
  EXPECT_TRUE(joined == text);
  std::fclose(file);

  std::FILE* full = std::fopen("/dev/full", "wb");
  ASSERT_NE(full, nullptr);
  BlockRecorder none;
  OutputBlocks out(fileno(full), &none);
  out.put(text);
  EXPECT_FALSE(out.finish());
  EXPECT_TRUE(none.blocks.empty());
  std::fclose(full);
}

TEST(AstLayoutTest, StreamsThroughAPipeAndReportsAFailedWrite) {
  SyntaxTree tree;
  NodeId root = sample(tree);
  for (int i = 0; i < 20000; ++i) root = tree.add(K::kNest, {root});
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  std::string received;
  std::thread reader([&] {
    char chunk[4096];
    for (ssize_t n; (n = read(fds[0], chunk, sizeof chunk)) > 0;) received.append(chunk, n);
  });
  {
    OutputBlocks out(fds[1]);
    write_ast(tree, root, AstLayout::kIndented, out);
    EXPECT_TRUE(out.finish());
  }
  close(fds[1]);
  reader.join();
  close(fds[0]);
  EXPECT_EQ(received, layout(tree, root));
  EXPECT_GT(received.size(), OutputBlocks::kBlockSize);

  std::FILE* full = std::fopen("/dev/full", "wb");
  ASSERT_NE(full, nullptr);
  OutputBlocks out(fileno(full));
  write_ast(tree, root, AstLayout::kIndented, out);
  EXPECT_FALSE(out.finish());
  std::fclose(full);
}

}  // namespace
}  // namespace vrel::frontend
