#include "driver/back_end.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <stdexcept>
#include <utility>

#include "ast/reader.h"
#include "driver/descriptor_io.h"
#include "driver/signal_cleanup.h"

namespace vrel {
namespace {

// The front end wrote something the reader cannot read: a fault of the compiler itself.
Translation translateTree(const std::optional<ast::Prog>& prog) {
  if (!prog) throw std::logic_error("Haskell AST parse error.");
  return translateProgram(*prog);
}

// The ring holds the whole text of a small source (a few times its size) and 4 MiB at most.
constexpr std::size_t kSmallestRingBytes = std::size_t{64} << 10;

// The size of the source; 0 when it is not a regular file.
std::size_t sourceBytes(const std::optional<std::string>& path) {
  struct stat info {};
  int result = path ? ::stat(path->c_str(), &info) : ::fstat(STDIN_FILENO, &info);
  return result == 0 && S_ISREG(info.st_mode) ? static_cast<std::size_t>(info.st_size) : 0;
}

}  // namespace

BackEnd::BackEnd(const std::optional<std::string>& sourcePath) : BackEnd(sourceBytes(sourcePath)) {}

BackEnd::BackEnd(std::size_t sourceBytes)
    : channel_(sourceBytes == 0 ? AstTextChannel::kDefaultCapacity
                                : std::clamp(4 * sourceBytes, kSmallestRingBytes,
                                             AstTextChannel::kDefaultCapacity)),
      work_([this] { readAndTranslate(); }),
      blocked_(cleanupSignals()),
      thread_(work_, &blocked_, stackBytesForSource(sourceBytes)) {}

BackEnd::~BackEnd() {
  channel_.close(false);
}

std::optional<Translation> BackEnd::finish(bool accepted, const TempFile& astFile) {
  if (!accepted) {
    channel_.close(false);
    return std::nullopt;
  }
  if (thread_.started()) {
    channel_.close(true);
    thread_.join();
  } else {
    runWithLargeStack([&] {
      DescriptorSource text(astFile.fd(), astFile.path());
      translation_ = translateTree(ast::readProg(text));
    });
  }
  return std::move(translation_);
}

// The tree is read, walked and destroyed on this thread's stack.
void BackEnd::readAndTranslate() {
  std::optional<ast::Prog> prog;
  try {
    prog = ast::readProg(channel_);
  } catch (...) {
    channel_.stop();
    throw;
  }
  channel_.stop();
  if (channel_.accepted()) translation_ = translateTree(prog);
}

}  // namespace vrel
