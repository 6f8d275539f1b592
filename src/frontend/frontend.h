// The front end's entry: parses a Vrel source file and writes its AST text.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "support/diagnostics.h"
#include "support/source_location.h"

// The results of vrel_parse_file; every failure is reported before it returns.
inline constexpr int kFrontEndAccepted = 0;
inline constexpr int kFrontEndSyntaxError = 1;  // or a lexical error in a source that parses
inline constexpr int kFrontEndStackOverflow = 2;
inline constexpr int kFrontEndInputNotOpened = 10001;
inline constexpr int kFrontEndOutputNotWritten = 10002;  // not opened, written or closed

// Line numbers and error numbers go on from one call to the next; this starts them afresh, as
// in a new process (for harnesses that run many sources in one process).
void vrel_frontend_reset();

// How the AST text is laid out: every line indented by its depth, or the same lines without
// their leading blanks (the reader skips whitespace, so both read as the same tree).
enum class AstLayout { kIndented, kFlushLeft };

// Sees the AST text as it goes into the file: every block once all its bytes are written, in
// order, so that the blocks seen make up the file's text. A block that could not be written is
// not seen.
class AstTextListener {
 public:
  virtual ~AstTextListener() = default;
  virtual void written(std::string_view block) = 0;
};

// Both entries end a run they cannot finish by throwing vrel::ExitRequest after printing why:
// status 1 for exhausted memory ("Out of memory"), status 2 for a failed read of the source or a
// scanner buffer that cannot grow. Whichever way a call ends, it has released everything it held
// (scanner buffers, tree, open source), so a later call starts clean.

// Reads `input_path` (standard input when null) and writes the AST text to `output_path`.
int vrel_parse_file(const char* input_path, const char* output_path);

// What a call reports to and keeps besides the AST text.
struct FrontEndExtras {
  // Where errors go, with their places; standard error, the message lines alone, when null.
  vrel::DiagnosticSink* sink = nullptr;
  // Keeps the bytes of a source that cannot be read twice (standard input), for vrel_kept_source.
  bool keep_source = false;
  // Gets the span of every constructor name of the AST text, in the order of the text.
  std::vector<vrel::SourceSpan>* positions = nullptr;
};

// Reads `input_path` (standard input when null) and writes the AST text through `output_fd`, an
// open descriptor of the file named `output_path` in messages; the descriptor stays open. Each
// block written is shown to `listener` too, unless it is null.
int vrel_parse_fd(const char* input_path, int output_fd, const char* output_path, AstLayout layout,
                  AstTextListener* listener = nullptr, const FrontEndExtras& extras = {});

// The bytes the last call kept of its source (see FrontEndExtras::keep_source).
std::string vrel_kept_source();

// A source parsed from memory: nothing is printed and no file is written.
struct ParsedSource {
  int result = kFrontEndAccepted;
  std::string ast_text;                     // flush left; empty unless the main function parsed
  std::vector<vrel::Located> errors;        // the lexical and syntax errors, in order
  std::vector<vrel::SourceSpan> positions;  // of every constructor name of `ast_text`
};
ParsedSource vrel_parse_memory(std::string_view source);
