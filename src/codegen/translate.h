// The C generator's entry: the runtime prelude, then the C text of the program and one newline.
#pragma once

#include <ostream>

#include "ast/tree.h"
#include "codegen/text_blocks.h"

namespace vrel {

// The C text of a program that translated without error.
class Translation {
 public:
  explicit Translation(TextBlocks program) : program_(std::move(program)) {}

  // The prelude, the program text and one newline.
  void writeTo(std::ostream& out) const;

 private:
  TextBlocks program_;
};

// Throws CompileError with the message of the first semantic or translation error.
Translation translateProgram(const ast::Prog& prog);

// translateProgram, written to `out`; on an error nothing is written.
void translate(std::ostream& out, const ast::Prog& prog);

}  // namespace vrel
