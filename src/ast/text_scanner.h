// The lexical elements of AST text: whitespace, punctuation, constructor names, integer literals
// and string literals. Every operation skips the whitespace in front of its token and consumes
// nothing when the token is not there (a failed literal leaves the position undefined; the
// reader gives up on the whole text then).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vrel::ast {

class TextScanner {
 public:
  explicit TextScanner(std::string_view text)
      : pos_(text.data()), end_(text.data() + text.size()) {}

  // Consumes `c` if it is the next token.
  bool accept(char c) {
    skipSpace();
    if (pos_ == end_ || *pos_ != c) return false;
    ++pos_;
    return true;
  }

  // Consumes a run of "(" and returns its length.
  std::size_t acceptOpens() {
    std::size_t count = 0;
    while (accept('(')) ++count;
    return count;
  }

  // Consumes exactly `count` ")"; false when fewer follow.
  bool acceptCloses(std::size_t count) {
    for (; count > 0; --count)
      if (!accept(')')) return false;
    return true;
  }

  // Consumes up to `limit` ")" and returns how many.
  std::size_t acceptClosesUpTo(std::size_t limit) {
    std::size_t count = 0;
    while (count < limit && accept(')')) ++count;
    return count;
  }

  // A constructor name: a letter, then letters, digits and underscores. Empty when none follows.
  std::string_view constructorName();

  // One or more decimal digits, taken modulo 2^32 as a signed 32-bit integer.
  std::optional<std::int32_t> integer();

  // A double-quoted string literal with its escapes decoded.
  std::optional<std::string> string();

 private:
  void skipSpace() {
    while (pos_ != end_ && (*pos_ == ' ' || *pos_ == '\n' || *pos_ == '\t' || *pos_ == '\r'))
      ++pos_;
  }

  bool decodeEscape(std::string& out);

  const char* pos_;
  const char* end_;
};

}  // namespace vrel::ast
