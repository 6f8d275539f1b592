#include "driver/back_end.h"

#include <stdexcept>
#include <utility>

#include "ast/reader.h"
#include "driver/descriptor_io.h"
#include "driver/signal_cleanup.h"

namespace vrel {
namespace {

// The front end wrote something the reader cannot read: a fault of the compiler itself.
Translation translateTree(const std::optional<ast::Prog>& prog, const CheckedBuild* checked) {
  if (!prog) throw std::logic_error("Haskell AST parse error.");
  return translateProgram(*prog, checked);
}

}  // namespace

BackEnd::BackEnd(const CheckedBuild* checked)
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
      translation_ = translateTree(ast::readProg(text), checked_);
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
  if (channel_.accepted()) translation_ = translateTree(prog, checked_);
}

}  // namespace vrel
