// What a checked build (-g) gives the translation: the source's name for the report and the
// debugger, and where the program's parts stand in it.
#pragma once

#include <string>

#include "support/compile_error.h"

namespace vrel {

// The lines of one construct in its source, from 1; 0 where a line is not known.
struct LineSpan {
  int first = 0;  // where its name (a definition) or its first word (a statement) is
  int last = 0;   // where it ends
};

// Where the nodes of one program tree, read with an index, stand in its source.
class SourceLines {
 public:
  virtual ~SourceLines() = default;
  virtual LineSpan of(const NodeRef& at) const = 0;
};

struct CheckedBuild {
  std::string sourceName;              // as given on the command line, or "<stdin>"
  const SourceLines* lines = nullptr;  // none: the C text carries no line directives
};

}  // namespace vrel
