// The language server's framing, positions, call finder and lookups by runs of keys.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "lsp/call_context.h"
#include "lsp/document.h"
#include "lsp/message_reader.h"
#include "support/run_index.h"

namespace vrel::lsp {
namespace {

// What the reader hands out for `input` fed in pieces of `piece` bytes: bodies as they are,
// faults as "!" + reason.
std::vector<std::string> frames(const std::string& input, std::size_t piece) {
  MessageReader reader;
  std::vector<std::string> out;
  for (std::size_t at = 0; at < input.size(); at += piece) {
    reader.feed(std::string_view(input).substr(at, piece));
    while (std::optional<Frame> frame = reader.next()) {
      if (const auto* body = std::get_if<Body>(&*frame)) {
        out.push_back(body->bytes);
      } else {
        out.push_back("!" + std::get<FramingFault>(*frame).reason);
      }
    }
  }
  return out;
}

TEST(MessageReaderTest, FramesAnySplitOfTheInput) {
  std::string input =
      "Content-Length: 2\r\n\r\n{}"
      "\r\n"  // a stray line end between messages
      "content-length:3\r\nContent-Type: application/vscode-jsonrpc\r\n\r\n[1]"
      "Content-Length: 0\r\n\r\n";
  std::vector<std::string> wanted = {"{}", "[1]", ""};
  for (std::size_t piece : {1, 2, 7, 1000}) EXPECT_EQ(frames(input, piece), wanted) << piece;
}

TEST(MessageReaderTest, RefusesWhatItCannotTrust) {
  std::vector<std::string> wanted = {
      "!invalid Content-Length", "!no Content-Length header", "!conflicting Content-Length headers",
      "!malformed header line",  "!header block too long",    "ok"};
  std::string input =
      "Content-Length: -1\r\n\r\n"
      "Content-Type: x\r\n\r\n"
      "Content-Length: 1\r\nContent-Length: 2\r\n\r\n"
      "{\"jsonrpc\"}\r\n\r\n"
      "X: " +
      std::string(MessageReader::kMaxHeaderBytes, 'a') + "\r\n\r\n" + "Content-Length: 2\r\n\r\nok";
  EXPECT_EQ(frames(input, 1 << 16), wanted);
  // A length too large to hold is skipped as its bytes arrive: here the rest of the input.
  EXPECT_EQ(
      frames("Content-Length: 99999999999999999999999999\r\n\r\nContent-Length: 2\r\n\r\nok", 5),
      std::vector<std::string>{"!Content-Length too large"});
}

TEST(DocumentTest, CountsUtf16UnitsAndEveryLineEnd) {
  // é is two bytes and one unit; the emoji four bytes and two units; \xff is not UTF-8.
  Document doc("a\xc3\xa9\xf0\x9f\x98\x80x\r\nb\rc\n\xff!", 1);
  EXPECT_EQ(doc.positionAt(7), (Position{0, 4}));  // x
  EXPECT_EQ(doc.offsetAt({0, 4}), 7u);
  EXPECT_EQ(doc.positionAt(4), (Position{0, 2}));  // inside the emoji: at its start
  EXPECT_EQ(doc.offsetAt({0, 3}), 3u);             // between the emoji's halves: before it
  EXPECT_EQ(doc.offsetAt({0, 99}), 8u);            // past the end of the line: before CR LF
  EXPECT_EQ(doc.positionAt(10), (Position{1, 0}));
  EXPECT_EQ(doc.positionAt(12), (Position{2, 0}));  // after a lone CR
  EXPECT_EQ(doc.positionAt(15), (Position{3, 1}));
  EXPECT_EQ(doc.offsetAt({99, 0}), doc.text().size());
  EXPECT_EQ(doc.offsetAt({-1, -1}), 0u);
}

TEST(DocumentTest, ReplacesRangesOrTheWholeText) {
  Document doc("one\ntwo\nthree\n", 1);
  doc.replace(Range{{1, 0}, {2, 2}}, "2\nTH");
  EXPECT_EQ(doc.text(), "one\n2\nTHree\n");
  doc.replace(Range{{2, 3}, {0, 1}}, "-");  // an end before the start inserts at the start
  EXPECT_EQ(doc.text(), "one\n2\nTHr-ee\n");
  EXPECT_EQ(doc.positionAt(doc.text().size()), (Position{3, 0}));
  doc.replace(std::nullopt, "x");
  EXPECT_EQ(doc.text(), "x");
  EXPECT_EQ(doc.offsetAt({1, 0}), 1u);
}

TEST(DocumentTest, LinesAreRightAfterEveryEdit) {
  // Edits that split and join CR LF pairs, and add and remove line ends at both ends.
  const std::string pieces[] = {"", "\r", "\n", "\r\n", "ab", "\n\r", "x\r", "\ny"};
  std::minstd_rand random(7);
  Document doc("one\r\ntwo\rthree\n\nfour\r", 1);
  for (int edit = 0; edit < 400; ++edit) {
    auto place = [&] {
      auto lines = static_cast<std::int64_t>(random() % 8);
      return Position{lines, static_cast<std::int64_t>(random() % 5)};
    };
    Position start = place();
    doc.replace(Range{start, random() % 2 ? start : place()}, pieces[random() % 8]);
    Document fresh(doc.text(), 1);
    for (std::size_t offset = 0; offset <= doc.text().size(); ++offset) {
      ASSERT_EQ(doc.positionAt(offset), fresh.positionAt(offset)) << edit << " at " << offset;
    }
    for (std::int64_t line = 0; line < 10; ++line) {
      ASSERT_EQ(doc.offsetAt({line, 1}), fresh.offsetAt({line, 1})) << edit << " line " << line;
    }
  }
}

TEST(RunIndexTest, EveryKeyFindsTheElementsOfItsRun) {
  // Runs of 4: empty ones, crowded ones, equal keys, and keys past the last element.
  std::vector<std::uint64_t> keys = {0, 0, 3, 4, 4, 5, 11, 12, 40, 40, 41};
  RunIndex<2> index(keys, [](std::uint64_t key) { return key; });
  for (std::uint64_t key = 0; key < 60; ++key) {
    auto [first, last] = index.run(key);
    for (std::ptrdiff_t i = 0; i < std::ssize(keys); ++i) {
      bool inRun = keys[i] / 4 == key / 4;
      EXPECT_EQ(i >= first && i < last, inRun) << key << " " << i;
      if (i < first) {
        EXPECT_LT(keys[i], key / 4 * 4) << key << " " << i;
      }
    }
  }
  EXPECT_EQ(RunIndex<2>().run(5), (std::pair<std::ptrdiff_t, std::ptrdiff_t>{0, 0}));
}

TEST(CallContextTest, FindsTheCallBeingTyped) {
  auto call = [](std::string_view text) { return callAt(text, text.size()); };
  EXPECT_EQ(call("  add(f(1, 2), ")->callee, "add");
  EXPECT_EQ(call("  add(f(1, 2), ")->argument, 1u);
  EXPECT_EQ(call("  add (x, \"(,\", ',', -- (\n (* ( *) ")->argument, 3u);
  EXPECT_FALSE(call("  x = (1 + "));
  EXPECT_FALSE(call("  add(1); x = 2"));
  EXPECT_FALSE(call("  add(1, (* open"));
}

}  // namespace
}  // namespace vrel::lsp
