#include "codegen/escape.h"

namespace vrel {
namespace {

bool isOctalDigit(char c) {
  return c >= '0' && c <= '7';
}

// The C escape of a character that cannot stand for itself, or an empty text.
std::string_view escapeOf(std::string_view text, std::size_t i) {
  switch (text[i]) {
    case '\0':
      // A digit after a short "\0" would extend the octal escape.
      return i + 1 < text.size() && isOctalDigit(text[i + 1]) ? "\\000" : "\\0";
    case '\t':
      return "\\t";
    case '\n':
      return "\\n";
    case '\r':
      return "\\r";
    case '"':
      return "\\\"";
    case '\'':
      return "\\'";
    case '\\':
      return "\\\\";
    default:
      return {};
  }
}

}  // namespace

// Runs of characters that stand for themselves are appended whole.
void escapeLiteral(std::string_view text, TextBlocks& out) {
  std::size_t run = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    std::string_view escape = escapeOf(text, i);
    if (escape.empty()) continue;
    out.append(text.substr(run, i - run));
    out.append(escape);
    run = i + 1;
  }
  out.append(text.substr(run));
}

}  // namespace vrel
