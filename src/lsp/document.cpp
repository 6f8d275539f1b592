#include "lsp/document.h"

#include <algorithm>
#include <utility>

namespace vrel::lsp {
namespace {

bool continuation(unsigned char byte) {
  return (byte & 0xC0) == 0x80;
}

// The bytes and UTF-16 units of the character that starts at `at`, which is before `end`.
std::pair<std::size_t, std::size_t> character(std::string_view text, std::size_t at,
                                              std::size_t end) {
  auto lead = static_cast<unsigned char>(text[at]);
  std::size_t size = lead < 0x80                    ? 1
                     : lead >= 0xC2 && lead <= 0xDF ? 2
                     : lead >= 0xE0 && lead <= 0xEF ? 3
                     : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                    : 1;
  if (size > end - at) return {1, 1};
  for (std::size_t i = 1; i < size; ++i) {
    if (!continuation(static_cast<unsigned char>(text[at + i]))) return {1, 1};
  }
  return {size, size == 4 ? 2 : 1};
}

}  // namespace

Document::Document(std::string text, std::int64_t version)
    : text_(std::move(text)), version_(version) {
  indexLines();
}

void Document::indexLines() {
  lineStarts_.assign(1, 0);
  appendLineStarts(0, text_.size(), lineStarts_);
}

void Document::appendLineStarts(std::size_t from, std::size_t to,
                                std::vector<std::size_t>& starts) const {
  const char* data = text_.data();
  std::size_t size = text_.size();
  for (std::size_t i = from; i < to; ++i) {
    char c = data[i];
    if (c == '\n' || (c == '\r' && (i + 1 == size || data[i + 1] != '\n'))) {
      starts.push_back(i + 1);
    }
  }
}

std::size_t Document::lineEnd(std::size_t line) const {
  if (line + 1 >= lineStarts_.size()) return text_.size();
  std::size_t end = lineStarts_[line + 1] - 1;
  if (text_[end] == '\n' && end > lineStarts_[line] && text_[end - 1] == '\r') --end;
  return end;
}

std::size_t Document::offsetAt(Position position) const {
  if (position.line < 0) return 0;
  auto line = static_cast<std::size_t>(position.line);
  if (line >= lineStarts_.size()) return text_.size();
  std::size_t at = lineStarts_[line];
  std::size_t end = lineEnd(line);
  std::int64_t units = 0;
  while (at < end && units < position.character) {
    auto [bytes, width] = character(text_, at, end);
    if (units + static_cast<std::int64_t>(width) > position.character) break;
    at += bytes;
    units += static_cast<std::int64_t>(width);
  }
  return at;
}

Position Document::positionAt(std::size_t offset) const {
  offset = std::min(offset, text_.size());
  auto next = std::upper_bound(lineStarts_.begin(), lineStarts_.end(), offset);
  auto line = static_cast<std::size_t>(next - lineStarts_.begin() - 1);
  std::size_t stop = lineEnd(line);
  std::size_t end = std::min(offset, stop);
  std::size_t at = lineStarts_[line];
  std::int64_t units = 0;
  while (at < end) {
    auto [bytes, width] = character(text_, at, stop);
    if (at + bytes > end) break;
    at += bytes;
    units += static_cast<std::int64_t>(width);
  }
  return {static_cast<std::int64_t>(line), units};
}

void Document::replace(const std::optional<Range>& range, std::string_view text) {
  if (!range) {
    text_.assign(text);
    indexLines();
    return;
  }
  std::size_t begin = offsetAt(range->start);
  std::size_t end = std::max(begin, offsetAt(range->end));
  text_.replace(begin, end - begin, text);
  // Whether a line starts at an offset depends on the bytes before it and at it: the starts
  // before `begin` stay, those up to the end of the new bytes are found again, and those after
  // them move with the bytes that follow.
  auto kept = std::lower_bound(lineStarts_.begin() + 1, lineStarts_.end(), begin);
  auto moved = std::upper_bound(kept, lineStarts_.end(), end);
  std::vector<std::size_t> found;
  appendLineStarts(begin == 0 ? 0 : begin - 1, begin + text.size(), found);
  auto at = lineStarts_.erase(kept, moved);
  at = lineStarts_.insert(at, found.begin(), found.end()) +
       static_cast<std::ptrdiff_t>(found.size());
  for (; at != lineStarts_.end(); ++at) *at = *at - end + begin + text.size();
}

}  // namespace vrel::lsp
