#include "ast/text_scanner.h"

#include <cstring>

namespace vrel::ast {
namespace {

// The buffer starts small, for the many small texts, and doubles with each refill up to a block.
constexpr std::size_t kFirstBlockBytes = std::size_t{4} << 10;
constexpr std::size_t kBlockBytes = std::size_t{256} << 10;
constexpr std::size_t kPadding = 8;  // NULs after the last byte read

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

const std::array<unsigned char, 256> TextScanner::kClasses = []() noexcept {
  std::array<unsigned char, 256> classes{};
  for (unsigned char c : {' ', '\n', '\t', '\r'}) classes[c] = kSpace;
  for (int c = 'a'; c <= 'z'; ++c) classes[c] = kLetter;
  for (int c = 'A'; c <= 'Z'; ++c) classes[c] = kLetter;
  for (int c = '0'; c <= '9'; ++c) classes[c] = kDigit;
  classes['_'] = kUnderscore;
  for (unsigned char c : {'"', '\\', '\n', '\0'}) classes[c] |= kStringStop;
  return classes;
}();

TextScanner::TextScanner(ByteSource& source)
    : source_(source), buffer_(new char[kFirstBlockBytes + kPadding]), capacity_(kFirstBlockBytes) {
  pos_ = end_ = buffer_.get();
  std::memset(end_, 0, kPadding);
}

bool TextScanner::readMore(std::size_t count) {
  std::size_t unread = static_cast<std::size_t>(end_ - pos_);
  if (sourceEnded_) return unread >= count;
  bool afterFirstBlock = end_ != buffer_.get();
  if (afterFirstBlock && capacity_ < kBlockBytes) {
    std::unique_ptr<char[]> larger(new char[2 * capacity_ + kPadding]);
    std::memcpy(larger.get(), pos_, unread);
    buffer_ = std::move(larger);
    capacity_ *= 2;
  } else {
    std::memmove(buffer_.get(), pos_, unread);
  }
  pos_ = buffer_.get();
  end_ = pos_ + unread;
  while (!sourceEnded_ && static_cast<std::size_t>(end_ - pos_) < count) {
    std::size_t got = source_.read(end_, capacity_ - static_cast<std::size_t>(end_ - pos_));
    if (got == 0) sourceEnded_ = true;
    end_ += got;
  }
  std::memset(end_, 0, kPadding);
  return static_cast<std::size_t>(end_ - pos_) >= count;
}

std::optional<std::int32_t> TextScanner::integer(std::string* digits) {
  skipSpace();
  if (!is(*pos_, kDigit)) return std::nullopt;
  std::uint32_t value = 0;  // unsigned arithmetic wraps modulo 2^32
  for (;;) {
    for (; is(*pos_, kDigit); ++pos_) {
      value = value * 10 + static_cast<std::uint32_t>(*pos_ - '0');
      if (digits != nullptr) *digits += *pos_;
    }
    if (pos_ != end_ || !refill(1)) return static_cast<std::int32_t>(value);
  }
}

bool TextScanner::string(std::string& scratch, std::string_view& text) {
  if (!accept('"')) return false;
  const char* run = pos_;
  while (!is(*pos_, kStringStop)) ++pos_;
  if (*pos_ == '"') {
    text = std::string_view(run, static_cast<std::size_t>(pos_ - run));
    ++pos_;
    return true;
  }
  scratch.assign(run, static_cast<std::size_t>(pos_ - run));
  for (;;) {
    if (pos_ == end_) {
      if (!refill(1)) return false;
    } else {
      switch (*pos_++) {
        case '"':
          text = scratch;
          return true;
        case '\\':
          if (!decodeEscape(scratch)) return false;
          break;
        case '\0':
          scratch += '\0';
          break;
        default:  // a newline
          return false;
      }
    }
    run = pos_;
    while (!is(*pos_, kStringStop)) ++pos_;
    scratch.append(run, static_cast<std::size_t>(pos_ - run));
  }
}

// Decodes the escape whose backslash has just been consumed. Whatever follows `\0` or the two
// digits of `\x` is an ordinary character again.
bool TextScanner::decodeEscape(std::string& out) {
  refill(3);
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
