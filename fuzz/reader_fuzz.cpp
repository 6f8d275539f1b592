// libFuzzer target: any bytes end in a Prog, a failure or a refusal of too deep a nesting,
// without a crash, a hang or a leak.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "ast/reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  try {
    vrel::ast::readProg(std::string_view(reinterpret_cast<const char*>(data), size));
  } catch (const vrel::ast::NestingTooDeep&) {
  }
  return 0;
}
