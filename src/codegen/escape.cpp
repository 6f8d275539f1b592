#include "codegen/escape.h"

namespace vrel {
namespace {

bool isOctalDigit(char c) {
  return c >= '0' && c <= '7';
}

}  // namespace

std::string escapeLiteral(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    switch (char c = text[i]) {
      case '\0':
        // A digit after a short "\0" would extend the octal escape.
        out += i + 1 < text.size() && isOctalDigit(text[i + 1]) ? "\\000" : "\\0";
        break;
      case '\t':
        out += "\\t";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '"':
        out += "\\\"";
        break;
      case '\'':
        out += "\\'";
        break;
      case '\\':
        out += "\\\\";
        break;
      default:
        out += c;
    }
  }
  return out;
}

}  // namespace vrel
