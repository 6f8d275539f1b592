// The framing of the protocol: header lines ("Name: value" and CR LF each), an empty line, then
// exactly Content-Length bytes of body. The reader is fed whatever bytes arrive and hands out the
// bodies and the faults it finds, one at a time. Nothing read is trusted: a header block is kept
// only up to kMaxHeaderBytes, a length must be a plain decimal number up to kMaxBodyBytes, and a
// body is gathered as its bytes arrive, never allocated ahead from its announced length.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace vrel::lsp {

// A complete body, not yet parsed.
struct Body {
  std::string bytes;
};

// A header block that announces no usable body. The reader has already skipped what belongs to
// it: the rest of the block, and the body of a length too large to hold.
struct FramingFault {
  std::string reason;
};

using Frame = std::variant<Body, FramingFault>;

class MessageReader {
 public:
  static constexpr std::size_t kMaxHeaderBytes = std::size_t{64} << 10;
  static constexpr std::size_t kMaxBodyBytes = std::size_t{512} << 20;

  // Appends bytes that arrived; call next() until it gives nothing before feeding more.
  void feed(std::string_view bytes);

  // The next complete frame, or nothing until more bytes arrive.
  std::optional<Frame> next();

 private:
  enum class State { kHeaders, kBody, kSkipHeaders, kSkipBody };

  std::optional<Frame> endOfHeaders();
  void headerLine(std::string_view line);

  std::string pending_;  // bytes fed and not yet looked at
  std::size_t at_ = 0;   // where in pending_ the unread bytes begin
  State state_ = State::kHeaders;
  std::size_t headerBytes_ = 0;  // of the current header block
  std::optional<std::size_t> length_;
  std::optional<std::string> fault_;  // the first fault of the current header block
  std::size_t toSkip_ = 0;
  std::string body_;
};

}  // namespace vrel::lsp
