// The lexical elements of AST text: whitespace, punctuation, constructor names, integer literals
// and string literals. The text comes from a `ByteSource` in blocks, so a text of any size is
// scanned in bounded memory. Every operation skips the whitespace in front of its token and
// consumes nothing when the token is not there (a failed literal leaves the position undefined;
// the reader gives up on the whole text then).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace vrel::ast {

// Where the text comes from.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // Fills up to `capacity` bytes of `buffer`; returns how many, 0 at the end of the text.
  virtual std::size_t read(char* buffer, std::size_t capacity) = 0;
};

class TextScanner {
 public:
  // The longest constructor name; a longer word is no constructor name.
  static constexpr std::size_t kLongestName = 15;

  explicit TextScanner(ByteSource& source);

  // Consumes `c` if it is the next token.
  bool accept(char c) {
    skipSpace();
    if (*pos_ != c) return false;  // the NUL after the text is no token
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

  // A constructor name: a letter, then letters, digits and underscores. Empty when none follows
  // or it is longer than any constructor name. The view lasts until the next operation.
  std::string_view constructorName();

  // One or more decimal digits, taken modulo 2^32 as a signed 32-bit integer.
  std::optional<std::int32_t> integer();

  // A double-quoted string literal with its escapes decoded into `out` (replacing its content).
  bool string(std::string& out);

 private:
  void skipSpace() {
    for (;;) {
      skipBlankRun();
      while (isSpace(*pos_)) ++pos_;
      if (pos_ != end_ || !refill(1)) return;
    }
  }

  // Skips blanks eight at a time: the indented layout has long runs of them.
  void skipBlankRun();

  static bool isSpace(char c) { return c == ' ' || c == '\n' || c == '\t' || c == '\r'; }

  // Makes at least `count` unread bytes available unless the text ends first; false when
  // fewer than `count` remain.
  bool refill(std::size_t count);
  bool decodeEscape(std::string& out);

  ByteSource& source_;
  std::unique_ptr<char[]> buffer_;
  char* pos_;
  char* end_;  // the byte after the last one read is always a NUL, and so are the next seven
  bool sourceEnded_ = false;
};

}  // namespace vrel::ast
