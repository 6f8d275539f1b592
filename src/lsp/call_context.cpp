#include "lsp/call_context.h"

#include <algorithm>
#include <vector>

namespace vrel::lsp {
namespace {

bool nameByte(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

// The name that ends before `end`, blanks between them skipped; empty when there is none.
std::string_view nameBefore(std::string_view text, std::size_t end) {
  while (end > 0 && (text[end - 1] == ' ' || text[end - 1] == '\t')) --end;
  std::size_t begin = end;
  while (begin > 0 && nameByte(text[begin - 1])) --begin;
  return text.substr(begin, end - begin);
}

}  // namespace

std::optional<CallContext> callAt(std::string_view text, std::size_t offset) {
  struct Open {
    std::string_view callee;
    std::size_t commas;
  };
  std::vector<Open> open;
  std::size_t end = std::min(offset, text.size());
  for (std::size_t i = 0; i < end; ++i) {
    char c = text[i];
    if (c == '-' && i + 1 < end && text[i + 1] == '-') {
      while (i < end && text[i] != '\n') ++i;
    } else if (c == '(' && i + 1 < end && text[i + 1] == '*') {
      std::size_t close = text.find("*)", i + 2);
      if (close == std::string_view::npos || close + 2 > end) return std::nullopt;
      i = close + 1;
    } else if (c == '"' || c == '\'') {
      for (++i; i < end && text[i] != c && text[i] != '\n'; ++i) {
        if (text[i] == '\\') ++i;
      }
    } else if (c == '(') {
      open.push_back({nameBefore(text, i), 0});
    } else if (c == ')' && !open.empty()) {
      open.pop_back();
    } else if (c == ',' && !open.empty()) {
      ++open.back().commas;
    } else if (c == ';' || c == '{' || c == '}') {
      open.clear();
    }
  }
  if (open.empty() || open.back().callee.empty()) return std::nullopt;
  return CallContext{std::string(open.back().callee), open.back().commas};
}

}  // namespace vrel::lsp
