#include "driver/error_location.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "ast/reader.h"
#include "ast/source_map.h"
#include "frontend/frontend.h"
#include "support/large_stack.h"
#include "support/source_text.h"

namespace vrel {

std::optional<std::string> sourceAgain(const std::optional<std::string>& inputFile) {
  if (!inputFile) return vrel_kept_source();
  int fd = ::open(inputFile->c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  std::string bytes;
  char buffer[1 << 16];
  for (;;) {
    ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    bytes.append(buffer, static_cast<std::size_t>(n));
  }
  ::close(fd);
  return bytes;
}

std::optional<Located> locateName(std::uint64_t name, std::string source) {
  ParsedSource parsed = vrel_parse_memory(source);
  if (parsed.positions.empty()) return std::nullopt;
  SourceSpan span = parsed.positions[std::min<std::uint64_t>(name, parsed.positions.size() - 1)];
  return Located{"the program is nested too deeply here for the stack this run has",
                 SourceText(std::move(source)).locate(span)};
}

ErrorPlaces locateError(const CompileError& error, std::string source) {
  ErrorPlaces places;
  const std::optional<ErrorSite>& site = error.site();
  if (!site) return places;
  ParsedSource parsed = vrel_parse_memory(source);
  if (parsed.result != kFrontEndAccepted) return places;
  SourceText text(std::move(source));
  // The tree is read again as the back end read it, on a stack as large.
  runWithLargeStack([&] {
    ast::NodeIndex index;
    std::optional<ast::Prog> prog = ast::readProg(parsed.ast_text, &index);
    if (!prog) return;
    ast::SourceMap map(std::move(parsed.positions), std::move(index));
    if (std::optional<SourceSpan> span = map.span(site->at)) {
      places.error = Located{site->text.empty() ? error.what() : site->text, text.locate(*span)};
    }
    if (site->note) {
      if (std::optional<SourceSpan> span = map.span(*site->note)) {
        places.note = Located{site->noteText, text.locate(*span)};
      }
    }
  });
  return places;
}

}  // namespace vrel
