// The C generator's entry: the runtime prelude, then the C text of the program and one newline.
#pragma once

#include <ostream>

#include "ast/tree.h"
#include "codegen/checked_build.h"
#include "codegen/text_blocks.h"

namespace vrel {

// The C text of a program that translated without error.
class Translation {
 public:
  Translation(TextBlocks program, bool checked) : program_(std::move(program)), checked_(checked) {}

  // The prelude (of a checked build, when it is one), the program text and one newline.
  void writeTo(std::ostream& out) const;

 private:
  TextBlocks program_;
  bool checked_;
};

// Throws CompileError with the message of the first semantic or translation error. With
// `checked`, the text is that of a checked build: run-time checks and, when the lines are known,
// line directives.
Translation translateProgram(const ast::Prog& prog, const CheckedBuild* checked = nullptr);

// translateProgram, written to `out`; on an error nothing is written.
void translate(std::ostream& out, const ast::Prog& prog);

}  // namespace vrel
