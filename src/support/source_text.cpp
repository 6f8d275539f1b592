#include "support/source_text.h"

#include <algorithm>
#include <cstring>

namespace vrel {

std::uint64_t byteOrderMarkSize(std::string_view text) {
  return text.starts_with("\xEF\xBB\xBF") ? 3 : 0;
}

std::string_view lineAt(std::string_view text, std::uint64_t lineStart) {
  if (lineStart >= text.size()) return {};
  std::string_view rest = text.substr(lineStart);
  std::string_view line = rest.substr(0, rest.find('\n'));
  if (line.size() < rest.size() && line.ends_with('\r')) line.remove_suffix(1);
  return line;
}

SourceText::SourceText(std::string bytes) : bytes_(std::move(bytes)) {
  lineStarts_.push_back(0);
  const char* data = bytes_.data();
  const char* end = data + bytes_.size();
  for (const char* p = data; (p = static_cast<const char*>(std::memchr(p, '\n', end - p)));) {
    ++p;
    lineStarts_.push_back(static_cast<std::uint64_t>(p - data));
  }
}

SourceText::LineColumn SourceText::at(std::uint64_t offset) const {
  offset = std::min<std::uint64_t>(offset, bytes_.size());
  auto next = std::upper_bound(lineStarts_.begin(), lineStarts_.end(), offset);
  std::uint64_t index = static_cast<std::uint64_t>(next - lineStarts_.begin()) - 1;
  std::uint64_t start = lineStarts_[index];
  if (index == 0) start = std::min(offset, byteOrderMarkSize(bytes_));
  return {index + 1, offset - start + 1, start};
}

Location SourceText::locate(SourceSpan span) const {
  LineColumn begin = at(span.begin);
  LineColumn end = at(std::max(span.end, span.begin + 1));
  if (span.end <= span.begin) end = {begin.line, begin.column + 1, begin.lineStart};
  return {begin.line, begin.column, end.line, end.column,
          std::string(lineAt(bytes_, begin.lineStart))};
}

}  // namespace vrel
