#include "driver/back_end.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <stdexcept>
#include <utility>

#include "ast/reader.h"
#include "ast/source_map.h"
#include "driver/descriptor_io.h"
#include "driver/signal_cleanup.h"
#include "support/source_text.h"

namespace vrel {
namespace {

// The lines of the nodes of a tree read with an index, from the front end's positions.
class MappedLines final : public SourceLines {
 public:
  MappedLines(ast::SourceMap map, std::string bytes)
      : map_(std::move(map)), text_(std::move(bytes)) {}

  LineSpan of(const NodeRef& at) const override {
    std::optional<SourceSpan> span = map_.span(at);
    if (!span) return {};
    Location where = text_.locate(*span);
    return {static_cast<int>(where.line), static_cast<int>(where.endLine)};
  }

 private:
  ast::SourceMap map_;
  SourceText text_;
};

// The ring holds the whole text of a small source (a few times its size) and 4 MiB at most.
constexpr std::size_t kSmallestRingBytes = std::size_t{64} << 10;

// The size of the source; 0 when it is not a regular file.
std::size_t sourceBytes(const std::optional<std::string>& path) {
  struct stat info {};
  int result = path ? ::stat(path->c_str(), &info) : ::fstat(STDIN_FILENO, &info);
  return result == 0 && S_ISREG(info.st_mode) ? static_cast<std::size_t>(info.st_size) : 0;
}

}  // namespace

// The front end wrote something the reader cannot read: a fault of the compiler itself.
Translation BackEnd::translateTree(const std::optional<ast::Prog>& prog, ast::NodeIndex index) {
  if (!prog) throw std::logic_error("Haskell AST parse error.");
  if (!checked_) return translateProgram(*prog);
  CheckedBuild build{checked_->name};
  std::optional<MappedLines> lines;
  if (checked_->bytes) {
    lines.emplace(ast::SourceMap(std::move(checked_->positions), std::move(index)),
                  std::move(*checked_->bytes));
    build.lines = &*lines;
  }
  return translateProgram(*prog, &build);
}

BackEnd::BackEnd(const std::optional<std::string>& sourcePath, CheckedSource* checked)
    : BackEnd(sourceBytes(sourcePath), checked) {}

BackEnd::BackEnd(std::size_t sourceBytes, CheckedSource* checked)
    : checked_(checked),
      channel_(sourceBytes == 0 ? AstTextChannel::kDefaultCapacity
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
      ast::NodeIndex index;
      std::optional<ast::Prog> prog = ast::readProg(text, checked_ ? &index : nullptr);
      translation_ = translateTree(prog, std::move(index));
    });
  }
  return std::move(translation_);
}

// The tree is read, walked and destroyed on this thread's stack.
void BackEnd::readAndTranslate() {
  std::optional<ast::Prog> prog;
  ast::NodeIndex index;
  try {
    prog = ast::readProg(channel_, checked_ ? &index : nullptr);
  } catch (...) {
    channel_.stop();
    throw;
  }
  channel_.stop();
  if (channel_.accepted()) translation_ = translateTree(prog, std::move(index));
}

}  // namespace vrel
