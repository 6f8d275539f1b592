// Lays out fragments as AST text and streams the bytes to a file through a large buffer.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string_view>
#include <vector>

#include "frontend/text_buffer.h"

namespace vrel::frontend {

class AstWriter {
 public:
  // With `indent` false every line starts at its first non-blank byte.
  AstWriter(std::FILE* out, bool indent);

  // Writes every line of `fragment`, each with the indentation its nesting adds up to.
  void write(const TextBuffer& fragment);
  void newline() { put_char('\n'); }
  // Flushes everything to the file; false if any write failed.
  bool finish();

 private:
  void put(std::string_view bytes);
  void put_spaces(std::size_t count);
  void put_char(char c);
  void flush_buffer();

  std::FILE* out_;
  bool indent_;
  std::vector<char> buffer_;
  std::size_t used_ = 0;
  bool failed_ = false;
};

}  // namespace vrel::frontend
