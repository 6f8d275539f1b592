// The call the cursor is in, found in the text itself, so that it is found while the call is
// still being typed and the text does not parse.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace vrel::lsp {

struct CallContext {
  std::string callee;
  std::size_t argument;  // from 0: the commas between the parenthesis and the cursor
};

// The innermost parenthesis open at `offset` that follows a name, outside comments and
// constants.
std::optional<CallContext> callAt(std::string_view text, std::size_t offset);

}  // namespace vrel::lsp
