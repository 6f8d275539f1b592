#include "driver/back_end.h"

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

BackEnd::BackEnd(CheckedSource* checked)
    : checked_(checked),
      work_([this] { readAndTranslate(); }),
      blocked_(cleanupSignals()),
      thread_(work_, &blocked_) {}

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
