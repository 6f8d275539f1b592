// libFuzzer target: any bytes as a Vrel source file through the front end. Every input ends in
// one of the front end's results or a reported fatal error, without a crash, a hang or a leak.
// The same bytes parsed from memory, by the parser that keeps places, end the same way and give
// the same AST text.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "frontend/frontend.h"
#include "memory_file.h"
#include "support/exit_request.h"

namespace {

// The indented text of an AST file, without its indentation.
std::string flushLeft(const std::string& text) {
  std::string left;
  for (std::size_t at = 0; at < text.size();) {
    std::size_t end = text.find('\n', at);
    if (end == std::string::npos) end = text.size() - 1;
    std::size_t first = std::min(text.find_first_not_of(' ', at), end);
    left.append(text, first, end + 1 - first);
    at = end + 1;
  }
  return left;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static vrel::fuzz::MemoryFile source("source.vrel");
  static vrel::fuzz::MemoryFile ast("out.ast");
  source.assign(data, size);
  vrel_frontend_reset();
  int result = -1;  // a fatal error, already reported
  try {
    result = vrel_parse_file(source.path(), ast.path());
  } catch (const vrel::ExitRequest&) {
  }
  int again = -1;
  std::string text;
  try {
    ParsedSource parsed =
        vrel_parse_memory(std::string_view(reinterpret_cast<const char*>(data), size));
    again = parsed.result;
    text = std::move(parsed.ast_text);
  } catch (const vrel::ExitRequest&) {
  }
  if (again != result) std::abort();
  if (result == kFrontEndAccepted && text != flushLeft(ast.content())) std::abort();
  return 0;
}
