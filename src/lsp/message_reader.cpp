#include "lsp/message_reader.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <limits>
#include <utility>

namespace vrel::lsp {
namespace {

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

bool namesContentLength(std::string_view name) {
  constexpr std::string_view kName = "content-length";
  return std::equal(name.begin(), name.end(), kName.begin(), kName.end(), [](char a, char b) {
    return std::tolower(static_cast<unsigned char>(a)) == b;
  });
}

// A plain decimal number, saturated at the largest std::size_t; nothing for any other text.
std::optional<std::size_t> decimal(std::string_view text) {
  if (text.empty()) return std::nullopt;
  std::size_t value = 0;
  constexpr std::size_t kMax = std::numeric_limits<std::size_t>::max();
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    auto digit = static_cast<std::size_t>(c - '0');
    value = value > (kMax - digit) / 10 ? kMax : value * 10 + digit;
  }
  return value;
}

}  // namespace

void MessageReader::feed(std::string_view bytes) {
  if (at_ == pending_.size()) {
    pending_.clear();
    at_ = 0;
  } else if (at_ > (std::size_t{1} << 16) && at_ > pending_.size() / 2) {
    pending_.erase(0, at_);
    at_ = 0;
  }
  pending_.append(bytes);
}

std::optional<Frame> MessageReader::next() {
  while (at_ < pending_.size()) {
    std::string_view unread = std::string_view(pending_).substr(at_);
    if (state_ == State::kBody || state_ == State::kSkipBody) {
      std::size_t need = state_ == State::kBody ? *length_ - body_.size() : toSkip_;
      std::size_t take = std::min(need, unread.size());
      if (state_ == State::kBody) body_.append(unread.substr(0, take));
      at_ += take;
      if (take < need) {
        toSkip_ -= state_ == State::kSkipBody ? take : 0;
        return std::nullopt;
      }
      bool complete = state_ == State::kBody;
      state_ = State::kHeaders;
      length_.reset();
      if (complete) return Body{std::exchange(body_, {})};
      continue;
    }
    std::size_t end = unread.find('\n');
    if (end == std::string_view::npos) {
      // A partial line: kept while the block may still become valid, dropped once it cannot.
      if (headerBytes_ + unread.size() > kMaxHeaderBytes) {
        headerBytes_ += unread.size();
        at_ = pending_.size();
        if (!fault_) fault_ = "header block too long";
        state_ = State::kSkipHeaders;
      }
      return std::nullopt;
    }
    std::string_view line = unread.substr(0, end);
    at_ += end + 1;
    headerBytes_ += end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty()) {
      if (headerBytes_ == end + 1 && state_ == State::kHeaders) {
        headerBytes_ = 0;  // an empty line between messages
        continue;
      }
      if (std::optional<Frame> frame = endOfHeaders()) return frame;
      continue;
    }
    if (state_ == State::kHeaders) headerLine(line);
    if (headerBytes_ > kMaxHeaderBytes && !fault_) fault_ = "header block too long";
    if (fault_) state_ = State::kSkipHeaders;
  }
  return std::nullopt;
}

void MessageReader::headerLine(std::string_view line) {
  std::size_t colon = line.find(':');
  if (colon == std::string_view::npos || colon == 0) {
    fault_ = "malformed header line";
    return;
  }
  if (!namesContentLength(line.substr(0, colon))) return;  // Content-Type and others
  std::optional<std::size_t> value = decimal(trimmed(line.substr(colon + 1)));
  if (!value) {
    fault_ = "invalid Content-Length";
  } else if (length_ && *length_ != *value) {
    fault_ = "conflicting Content-Length headers";
  } else {
    length_ = value;
  }
}

std::optional<Frame> MessageReader::endOfHeaders() {
  headerBytes_ = 0;
  std::optional<std::string> fault = std::exchange(fault_, std::nullopt);
  std::optional<std::size_t> length = length_;
  state_ = State::kHeaders;
  length_.reset();
  if (fault) return FramingFault{*fault};
  if (!length) return FramingFault{"no Content-Length header"};
  if (*length > kMaxBodyBytes) {
    toSkip_ = *length;
    state_ = State::kSkipBody;
    return FramingFault{"Content-Length too large"};
  }
  length_ = length;
  state_ = State::kBody;
  if (*length == 0) {
    state_ = State::kHeaders;
    length_.reset();
    return Body{};
  }
  return std::nullopt;
}

}  // namespace vrel::lsp
