#include "ast/text_scanner.h"

namespace vrel::ast {
namespace {

bool isLetter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

int hexValue(char c) {
  if (isDigit(c)) return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::string_view TextScanner::constructorName() {
  skipSpace();
  const char* start = pos_;
  if (pos_ == end_ || !isLetter(*pos_)) return {};
  ++pos_;
  while (pos_ != end_ && (isLetter(*pos_) || isDigit(*pos_) || *pos_ == '_')) ++pos_;
  return {start, static_cast<std::size_t>(pos_ - start)};
}

std::optional<std::int32_t> TextScanner::integer() {
  skipSpace();
  if (pos_ == end_ || !isDigit(*pos_)) return std::nullopt;
  std::uint32_t value = 0;  // unsigned arithmetic wraps modulo 2^32
  for (; pos_ != end_ && isDigit(*pos_); ++pos_) value = value * 10 + (*pos_ - '0');
  return static_cast<std::int32_t>(value);
}

std::optional<std::string> TextScanner::string() {
  if (!accept('"')) return std::nullopt;
  std::string out;
  for (;;) {
    const char* run = pos_;
    while (pos_ != end_ && *pos_ != '"' && *pos_ != '\\' && *pos_ != '\n') ++pos_;
    out.append(run, pos_);
    if (pos_ == end_ || *pos_ == '\n') return std::nullopt;
    if (*pos_++ == '"') return out;
    if (!decodeEscape(out)) return std::nullopt;
  }
}

// Decodes the escape whose backslash has just been consumed. Whatever follows `\0` or the two
// digits of `\x` is an ordinary character again.
bool TextScanner::decodeEscape(std::string& out) {
  if (pos_ == end_) return false;
  switch (*pos_++) {
    case 'n':
      out += '\n';
      return true;
    case 't':
      out += '\t';
      return true;
    case 'r':
      out += '\r';
      return true;
    case '0':
      out += '\0';
      return true;
    case '\\':
      out += '\\';
      return true;
    case '\'':
      out += '\'';
      return true;
    case '"':
      out += '"';
      return true;
    case 'x': {
      if (end_ - pos_ < 2) return false;
      int high = hexValue(pos_[0]), low = hexValue(pos_[1]);
      if (high < 0 || low < 0) return false;
      out += static_cast<char>(high * 16 + low);
      pos_ += 2;
      return true;
    }
    default:
      return false;
  }
}

}  // namespace vrel::ast
