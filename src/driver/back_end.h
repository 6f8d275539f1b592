// The back end of one run: the reader and the translation, on a thread with a large stack of
// their own. Started before the front end, the reader parses the AST text from memory while the
// front end still lays it out and writes it to the AST file; the translation starts only once the
// front end has accepted the source. Every write stays with the calling thread, and the thread
// runs with the clean-up signals blocked, so they reach the thread that owns the files.
#pragma once

#include <signal.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "ast/reader.h"
#include "codegen/translate.h"
#include "driver/ast_text_channel.h"
#include "driver/temp_files.h"
#include "frontend/frontend.h"
#include "support/large_stack.h"

namespace vrel {

// What the back end of a checked build needs besides the AST text: the source's name and, by the
// time the front end has accepted the source, where each constructor of the text came from and
// the source's bytes, to turn those places into lines. Without the bytes, the C text has no line
// directives.
struct CheckedSource {
  std::string name;
  std::vector<SourceSpan> positions;
  std::optional<std::string> bytes;
};

class BackEnd {
 public:
  // The thread's stack and the ring of text grow with the size of the source file (unknown for
  // standard input that is not a file), so that a small source leaves the address space to the
  // heap. `checked`, when not null, makes the translation that of a checked build; it outlives
  // this, and the translation takes its positions.
  explicit BackEnd(const std::optional<std::string>& sourcePath, CheckedSource* checked = nullptr);
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
  BackEnd(std::size_t sourceBytes, CheckedSource* checked);
  void readAndTranslate();

  Translation translateTree(const std::optional<ast::Prog>& prog, ast::NodeIndex index);

  CheckedSource* checked_;
  AstTextChannel channel_;
  std::optional<Translation> translation_;
  std::function<void()> work_;
  sigset_t blocked_;         // in the thread
  LargeStackThread thread_;  // last: started once the rest exists, joined before it goes
};

}  // namespace vrel
