// The back end of one run: the reader and the translation, on a thread with a large stack of
// their own. Started before the front end, the reader parses the AST text from memory while the
// front end still lays it out and writes it to the AST file; the translation starts only once the
// front end has accepted the source. Every write stays with the calling thread, and the thread
// runs with the clean-up signals blocked, so they reach the thread that owns the files.
#pragma once

#include <signal.h>

#include <functional>
#include <optional>

#include "codegen/translate.h"
#include "driver/ast_text_channel.h"
#include "driver/temp_files.h"
#include "frontend/frontend.h"
#include "support/large_stack.h"

namespace vrel {

class BackEnd {
 public:
  // `checked`, when not null, makes the translation that of a checked build; it outlives this.
  explicit BackEnd(const CheckedBuild* checked = nullptr);
  BackEnd(const BackEnd&) = delete;
  BackEnd& operator=(const BackEnd&) = delete;
  // Closes the text as rejected if the front end never finished, and waits for the thread.
  ~BackEnd();

  // What the front end shows its text to; null when no thread could be started, and the text
  // is then read back from the AST file.
  AstTextListener* listener() { return thread_.started() ? &channel_ : nullptr; }

  // Takes the front end's verdict. When it accepted the source, returns the C text of the tree
  // read from `astFile`'s text, or throws what reading or translating threw: std::logic_error
  // "Haskell AST parse error." for an unreadable text, ast::NestingTooDeep, CompileError,
  // std::bad_alloc. Otherwise returns nothing and drops whatever the thread ran into.
  std::optional<Translation> finish(bool accepted, const TempFile& astFile);

 private:
  void readAndTranslate();

  const CheckedBuild* checked_;
  AstTextChannel channel_;
  std::optional<Translation> translation_;
  std::function<void()> work_;
  sigset_t blocked_;         // in the thread
  LargeStackThread thread_;  // last: started once the rest exists, joined before it goes
};

}  // namespace vrel
