// What the location block of a syntax error says, and where.
#pragma once

#include <string_view>
#include <vector>

#include "support/source_location.h"

namespace vrel::frontend {

// `found` is the parser's name of the token that does not fit ("T_ID", "';'", "if", "<=",
// "end of file"), `text` its source text and `span` its place; `expected` the names of the
// tokens that could have stood there. The block says what was expected: before the token, or
// just after the token before it when what is missing ends a construct (a ';', a ')').
Located syntax_error(std::string_view found, std::string_view text, SourceSpan span,
                     const std::vector<std::string_view>& expected);

// The parser's stacks are full at the token at `span`.
Located nesting_too_deep(SourceSpan span);

}  // namespace vrel::frontend
