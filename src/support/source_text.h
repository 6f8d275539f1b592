// A whole source in memory, for turning spans into lines and columns.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "support/source_location.h"

namespace vrel {

class SourceText {
 public:
  explicit SourceText(std::string bytes);

  // The line and column of `span` (clamped to the source); an empty span marks one column.
  Location locate(SourceSpan span) const;

 private:
  struct LineColumn {
    std::uint64_t line;
    std::uint64_t column;
    std::uint64_t lineStart;  // offset of the line's first byte
  };
  LineColumn at(std::uint64_t offset) const;

  std::string bytes_;
  std::vector<std::uint64_t> lineStarts_;  // the offset of every line's first byte
};

// The line that starts at `lineStart` in `text` up to its line end (LF or CR LF).
std::string_view lineAt(std::string_view text, std::uint64_t lineStart);

// 3 when `text` starts with a UTF-8 byte-order mark, else 0.
std::uint64_t byteOrderMarkSize(std::string_view text);

}  // namespace vrel
