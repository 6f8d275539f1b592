#include "ast/reader.h"

namespace vrel::ast {

std::optional<Prog> readProg(std::string_view) {
  return std::nullopt;
}

}  // namespace vrel::ast
