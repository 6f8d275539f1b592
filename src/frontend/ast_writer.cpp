#include "frontend/ast_writer.h"

#include <algorithm>
#include <cstring>

namespace vrel::frontend {
namespace {

constexpr std::size_t kBufferSize = std::size_t{1} << 20;

struct Frame {
  const Piece* piece;
  std::size_t indent;
};

}  // namespace

AstWriter::AstWriter(std::FILE* out, bool indent)
    : out_(out), indent_(indent), buffer_(kBufferSize) {}

void AstWriter::write(const TextBuffer& fragment) {
  // An explicit stack of open fragments: nesting depth costs heap, not call stack.
  std::vector<Frame> open{{fragment.first, 0}};
  while (!open.empty()) {
    Frame& top = open.back();
    const Piece* piece = top.piece;
    if (piece == nullptr) {
      open.pop_back();
      continue;
    }
    top.piece = piece->next;
    std::size_t indent = top.indent + 2 * std::size_t{piece->level};
    switch (piece->kind) {
      case PieceKind::kLine:
        put_spaces(indent);
        put(piece->text);
        put_char('\n');
        break;
      case PieceKind::kQuoted:
        put_spaces(indent);
        put_char('"');
        put(piece->text);
        put_char('"');
        put_char('\n');
        break;
      case PieceKind::kNested:
        open.push_back({piece->child->first, indent});
        break;
    }
  }
}

bool AstWriter::finish() {
  flush_buffer();
  if (std::fflush(out_) != 0) failed_ = true;
  return !failed_;
}

void AstWriter::put(std::string_view bytes) {
  if (bytes.size() > buffer_.size() - used_) {
    flush_buffer();
    if (bytes.size() >= buffer_.size()) {
      if (std::fwrite(bytes.data(), 1, bytes.size(), out_) != bytes.size()) failed_ = true;
      return;
    }
  }
  std::memcpy(buffer_.data() + used_, bytes.data(), bytes.size());
  used_ += bytes.size();
}

void AstWriter::put_spaces(std::size_t count) {
  if (!indent_) return;
  while (count > 0) {
    if (used_ == buffer_.size()) flush_buffer();
    std::size_t n = std::min(count, buffer_.size() - used_);
    std::memset(buffer_.data() + used_, ' ', n);
    used_ += n;
    count -= n;
  }
}

void AstWriter::put_char(char c) {
  if (used_ == buffer_.size()) flush_buffer();
  buffer_[used_++] = c;
}

void AstWriter::flush_buffer() {
  if (used_ != 0 && !failed_ && std::fwrite(buffer_.data(), 1, used_, out_) != used_)
    failed_ = true;
  used_ = 0;
}

}  // namespace vrel::frontend
