// libFuzzer target: any bytes as a Vrel source file through the front end. Every input ends in
// one of the front end's results or a reported fatal error, without a crash, a hang or a leak.
#include <cstddef>
#include <cstdint>

#include "frontend/frontend.h"
#include "memory_file.h"
#include "support/exit_request.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static vrel::fuzz::MemoryFile source("source.vrel");
  static vrel::fuzz::MemoryFile ast("out.ast");
  source.assign(data, size);
  vrel_frontend_reset();
  try {
    vrel_parse_file(source.path(), ast.path());
  } catch (const vrel::ExitRequest&) {
    // A fatal scanner error, already reported.
  }
  return 0;
}
