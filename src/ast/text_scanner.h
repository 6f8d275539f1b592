// The lexical elements of AST text: whitespace, punctuation, constructor names, integer literals
// and string literals. The text comes from a `ByteSource` in blocks, so a text of any size is
// scanned in bounded memory. Every operation skips the whitespace in front of its token and
// consumes nothing when the token is not there (a failed literal leaves the position undefined;
// the reader gives up on the whole text then).
#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
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

// A constructor name of up to eight characters, packed into one number as the eight bytes at its
// start are when loaded from the text (first character lowest), with the mask of its bytes: a
// name is recognised in the text by one load and one comparison.
struct NamePattern {
  std::uint64_t key = 0;
  std::uint64_t mask = 0;
  std::size_t length = 0;  // 0 for a name too long to be a pattern
};
inline constexpr std::size_t kLongestName = sizeof(std::uint64_t);

constexpr NamePattern namePattern(std::string_view name) {
  if (name.empty() || name.size() > kLongestName) return {};
  NamePattern pattern;
  for (std::size_t i = 0; i < name.size(); ++i) {
    pattern.key |= std::uint64_t{static_cast<unsigned char>(name[i])} << (8 * i);
    pattern.mask |= std::uint64_t{0xff} << (8 * i);
  }
  pattern.length = name.size();
  return pattern;
}

class TextScanner {
 public:
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

  // The eight bytes that follow the whitespace at the position (NULs past the end of the text),
  // to be matched against name patterns by acceptName.
  std::uint64_t nameWord() {
    skipSpace();
    refill(kLongestName + 1);
    std::uint64_t word;
    std::memcpy(&word, pos_, sizeof word);
    if constexpr (std::endian::native == std::endian::big) word = __builtin_bswap64(word);
    return word;
  }

  // Consumes the name of `pattern` if the text at the position, whose nameWord() is `word`, is
  // that name as a whole: not followed by a letter, a digit or an underscore.
  bool acceptName(std::uint64_t word, const NamePattern& pattern) {
    if ((word & pattern.mask) != pattern.key || is(pos_[pattern.length], kNameCharacter))
      return false;
    pos_ += pattern.length;
    return true;
  }

  // One or more decimal digits, taken modulo 2^32 as a signed 32-bit integer; the digits
  // themselves go to `digits` when it is given.
  std::optional<std::int32_t> integer(std::string* digits = nullptr);

  // A double-quoted string literal with its escapes decoded. `text` views the decoded bytes: the
  // literal itself when it holds no escape, else `scratch`; the view lasts until the next
  // operation.
  bool string(std::string& scratch, std::string_view& text);

 private:
  // Whitespace and the NUL at the end of what is read are the only bytes up to the blank that
  // can stand where a token may start. Mostly one newline is skipped: the flush-left layout puts
  // one token or a few on each line.
  void skipSpace() {
    while (static_cast<unsigned char>(*pos_) <= ' ') {
      if (isSpace(*pos_)) {
        ++pos_;
        if (*pos_ == ' ') skipBlanks();
      } else if (pos_ != end_ || !refill(1)) {
        return;
      }
    }
  }

  // Skips a run of blanks eight bytes at a time: the indented layout has long runs of them.
  // The NULs after the text keep every load inside the buffer.
  void skipBlanks() {
    constexpr std::uint64_t kBlanks = 0x2020202020202020u;
    for (;;) {
      std::uint64_t eight;
      std::memcpy(&eight, pos_, sizeof eight);
      if (std::uint64_t differ = eight ^ kBlanks) {
        pos_ += std::endian::native == std::endian::little ? std::countr_zero(differ) / 8
                                                           : std::countl_zero(differ) / 8;
        return;
      }
      pos_ += sizeof eight;
    }
  }

  // Character classes, by table.
  enum Class : unsigned char {
    kSpace = 1,
    kLetter = 2,
    kDigit = 4,
    kUnderscore = 8,
    kStringStop = 16,  // ends a run of plain characters in a string literal
    kNameCharacter = kLetter | kDigit | kUnderscore,
  };
  static const std::array<unsigned char, 256> kClasses;
  static bool is(char c, unsigned char classes) {
    return (kClasses[static_cast<unsigned char>(c)] & classes) != 0;
  }
  static bool isSpace(char c) { return is(c, kSpace); }

  // Makes at least `count` unread bytes available unless the text ends first; false when
  // fewer than `count` remain.
  bool refill(std::size_t count) {
    return static_cast<std::size_t>(end_ - pos_) >= count || readMore(count);
  }
  bool readMore(std::size_t count);
  bool decodeEscape(std::string& out);

  ByteSource& source_;
  std::unique_ptr<char[]> buffer_;
  char* pos_;
  char* end_;  // the byte after the last one read is always a NUL, and so are the next seven
  std::size_t capacity_;
  bool sourceEnded_ = false;
};

}  // namespace vrel::ast
