// An open document: its text as the editor has it, and the conversion between byte offsets and
// the protocol's positions, which count lines from 0 (ended by LF, CR LF or a lone CR) and
// characters in UTF-16 code units. A byte that is not part of a valid UTF-8 sequence counts as
// one unit, as the replacement character it is shown as.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vrel::lsp {

struct Position {
  std::int64_t line = 0;
  std::int64_t character = 0;
  bool operator==(const Position&) const = default;
};

struct Range {
  Position start;
  Position end;
};

class Document {
 public:
  Document(std::string text, std::int64_t version);

  const std::string& text() const { return text_; }
  std::int64_t version() const { return version_; }

  // The offset of a position; a line past the end gives the end of the text, a character past
  // the end of its line the end of that line.
  std::size_t offsetAt(Position position) const;
  // The position of an offset; one inside a UTF-8 sequence gives the position of the sequence.
  Position positionAt(std::size_t offset) const;

  // Replaces the text of `range`, or all of it, with `text`. A range whose end comes before its
  // start replaces nothing and inserts at its start.
  void replace(const std::optional<Range>& range, std::string_view text);
  void setVersion(std::int64_t version) { version_ = version; }

 private:
  void indexLines();
  // Adds the starts of the lines that begin after each byte of [from, to), in order.
  void appendLineStarts(std::size_t from, std::size_t to, std::vector<std::size_t>& starts) const;
  // The offset where the text of `line` ends, before its line end.
  std::size_t lineEnd(std::size_t line) const;

  std::string text_;
  std::int64_t version_;
  std::vector<std::size_t> lineStarts_;
};

}  // namespace vrel::lsp
