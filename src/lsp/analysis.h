// What the compiler's stages find in one text, parsed from memory: the errors vrelc reports for
// it, the warnings only the editor shows, and the program's names.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "lsp/symbol_index.h"
#include "support/source_location.h"

namespace vrel::lsp {

struct Note {
  SourceSpan span;
  std::string message;
};

struct Finding {
  SourceSpan span;
  std::string message;
  bool warning = false;
  std::optional<Note> note;
};

struct Analysis {
  std::vector<Finding> findings;     // errors as the stages report them, then warnings in order
  std::optional<SymbolIndex> index;  // when the text parses
};

Analysis analyse(std::string_view text);

}  // namespace vrel::lsp
