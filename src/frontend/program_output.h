// The AST file of the current call: opened by the entry, written once by the parser's start
// production, closed by the entry.
#pragma once

#include <cstdio>

#include "frontend/frontend.h"
#include "frontend/text_buffer.h"

namespace vrel::frontend {

void program_output_begin(std::FILE* file, const char* path, AstLayout layout);
// Writes the program's fragment and one extra newline. A failed write is reported and returns
// false.
bool write_program(const TextBuffer& program);
// Closes the file. Returns false if any write or the close failed (reported once).
bool program_output_end();

}  // namespace vrel::frontend
