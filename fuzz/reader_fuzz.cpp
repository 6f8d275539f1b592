// libFuzzer target: any bytes end in a Prog or a failure, without a crash, a hang or a leak.
// Inputs are short (libFuzzer's -max_len), so the default stack holds their nesting.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "ast/reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  vrel::ast::readProg(std::string_view(reinterpret_cast<const char*>(data), size));
  return 0;
}
