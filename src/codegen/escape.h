// The C spelling of the characters of a character or string constant, without the quotes.
#pragma once

#include <string>
#include <string_view>

namespace vrel {

std::string escapeLiteral(std::string_view text);

}  // namespace vrel
