// The AST text reader: one `Prog` from the start of the text, or nothing when the text does not
// begin with a complete `Prog`. Whatever follows that value is ignored. The tree lives in storage
// of its own, held by the `Prog`; the text itself is not kept.
#pragma once

#include <optional>
#include <stdexcept>
#include <string_view>

#include "ast/text_scanner.h"
#include "ast/tree.h"

namespace vrel::ast {

// The text nests deeper than the stack of the calling thread lets the later stages walk.
class NestingTooDeep : public std::runtime_error {
 public:
  NestingTooDeep()
      : std::runtime_error("the program is nested too deeply for the available stack") {}
};

// Both throw NestingTooDeep, and std::bad_alloc when memory runs out.
std::optional<Prog> readProg(std::string_view text);
std::optional<Prog> readProg(ByteSource& source);

}  // namespace vrel::ast
