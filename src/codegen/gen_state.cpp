#include "codegen/gen_state.h"

#include <charconv>

namespace vrel {

void emitDecimal(GenState& state, long long value) {
  char digits[24];
  auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
  emit(state, std::string_view(digits, static_cast<std::size_t>(end - digits)));
}

}  // namespace vrel
