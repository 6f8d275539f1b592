// Places in a Vrel source: spans of bytes as the front end read them, and the line and column a
// message shows for one.
#pragma once

#include <cstdint>
#include <string>

namespace vrel {

// The bytes [begin, end) of the source, counted from its first byte (a byte-order mark
// included).
struct SourceSpan {
  std::uint64_t begin = 0;
  std::uint64_t end = 0;
  bool operator==(const SourceSpan&) const = default;
};

// A span as lines and columns, both from 1; columns count bytes (a tab is one) and line 1's do
// not count a byte-order mark. The end is exclusive; `lineText` is the first line of the span
// without its line end.
struct Location {
  std::uint64_t line = 1;
  std::uint64_t column = 1;
  std::uint64_t endLine = 1;
  std::uint64_t endColumn = 2;
  std::string lineText;
  std::uint64_t textColumn = 1;  // the column of lineText's first byte: a long line may be cut
};

// What a message says of a place, in plain Vrel words.
struct Located {
  std::string text;
  Location where;
};

}  // namespace vrel
