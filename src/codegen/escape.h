// The C spelling of the characters of a character or string constant, without the quotes.
#pragma once

#include <string_view>

#include "codegen/text_blocks.h"

namespace vrel {

// Appends the spelling of `text` to `out`.
void escapeLiteral(std::string_view text, TextBlocks& out);

}  // namespace vrel
