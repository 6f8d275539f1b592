// libFuzzer target: any bytes on the server's input are framed, parsed and answered without a
// crash, a hang or a leak. The input is fed in two parts, so that a frame split between reads is
// met too; what the server writes is dropped.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "lsp/message_reader.h"
#include "lsp/server.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  vrel::lsp::Server server([](std::string_view) {});
  vrel::lsp::MessageReader reader;
  std::size_t half = size / 2;
  for (std::string_view part : {input.substr(0, half), input.substr(half)}) {
    reader.feed(part);
    while (std::optional<vrel::lsp::Frame> frame = reader.next()) {
      server.handle(*frame);
      if (server.exitStatus()) return 0;
    }
  }
  return 0;
}
