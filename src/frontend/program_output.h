// The AST file of the current call: opened by the entry, written once by the parser's start
// production, closed by the entry.
#pragma once

#include <vector>

#include "frontend/frontend.h"
#include "frontend/syntax_tree.h"

namespace vrel::frontend {

// The output of the next write_program: descriptor `fd` (none when negative), named `path` in
// messages, with every block written shown to `listener` (when not null), and the span of every
// constructor name appended to `positions` (when not null).
void program_output_begin(int fd, const char* path, AstLayout layout, AstTextListener* listener,
                          std::vector<SourceSpan>* positions);
// Writes the AST text of `root` in the program tree and one extra newline. A failed write is
// reported and returns false.
bool write_program(NodeId root);
// Reports a failure of the output found after writing (its close); false if any write failed.
bool program_output_end(bool closed);

}  // namespace vrel::frontend
