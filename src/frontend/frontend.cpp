#include "frontend/frontend.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <new>
#include <optional>
#include <string>

#include "frontend/error_reporter.h"
#include "frontend/lexer.h"
#include "frontend/parser_support.h"
#include "frontend/program_output.h"
#include "frontend/source_input.h"
#include "frontend/syntax_tree.h"

namespace {

using namespace vrel::frontend;

// Frees what one call holds, so that the next call starts clean whichever way this one ended.
void release_call_state() {
  vrel_yylex_destroy();
  vrel_parser_release();
  program_tree.release();
  source_close();
}

// The messages of a call from memory, kept for its caller.
class KeptErrors : public vrel::DiagnosticSink {
 public:
  explicit KeptErrors(std::vector<vrel::Located>& errors) : errors_(errors) {}
  void report(std::string_view, const std::optional<vrel::Located>& error,
              const std::optional<vrel::Located>&) override {
    if (error) errors_.push_back(*error);
  }
  void fileError(std::string_view, std::string_view, std::string_view) override {}
  void message(std::string_view) override {}
  bool showsPlaces() const override { return true; }

 private:
  std::vector<vrel::Located>& errors_;
};

bool open_source(const char* input_path, const FrontEndExtras& extras) {
  set_diagnostic_sink(extras.sink);
  if (source_open(input_path, extras.keep_source)) return true;
  int error = errno;
  std::string line = std::string("Error: cannot open input file: ") + input_path;
  diagnostic_sink().fileError(line, input_path, std::strerror(error));
  return false;
}

// Parses the open source into `output_fd`. A lexical error fails a source that parses; its text
// is written all the same, as for a syntax error after the main function. The located parser
// runs where messages show places or positions are kept, the plain one elsewhere.
int run_parser(int output_fd, const char* output_path, AstLayout layout, AstTextListener* listener,
               std::vector<vrel::SourceSpan>* positions) {
  program_output_begin(output_fd, output_path, layout, listener, positions);
  vrel_lexer_start();
  program_tree.keep_spans(positions != nullptr);
  bool located = positions != nullptr || diagnostic_sink().showsPlaces();
  std::int64_t errors_before = error_count;
  int result = kFrontEndAccepted;
  try {
    result = located ? vrel_located_yyparse() : vrel_yyparse();
  } catch (const std::bad_alloc&) {
    release_call_state();
    fail("Out of memory", 1);
  } catch (...) {
    release_call_state();
    throw;
  }
  release_call_state();
  if (result == kFrontEndAccepted && error_count != errors_before) result = kFrontEndSyntaxError;
  return result;
}

}  // namespace

void vrel_frontend_reset() {
  line_number = 1;
  error_count = 0;
}

int vrel_parse_file(const char* input_path, const char* output_path) {
  if (!open_source(input_path, {})) return kFrontEndInputNotOpened;
  int fd = ::open(output_path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) {
    diagnostic_sink().message(std::string("Error: cannot open output file: ") + output_path);
    source_close();
    return kFrontEndOutputNotWritten;
  }
  int result = kFrontEndAccepted;
  try {
    result = run_parser(fd, output_path, AstLayout::kIndented, nullptr, nullptr);
  } catch (...) {
    ::close(fd);
    throw;
  }
  bool closed = ::close(fd) == 0;
  return program_output_end(closed) ? result : kFrontEndOutputNotWritten;
}

int vrel_parse_fd(const char* input_path, int output_fd, const char* output_path, AstLayout layout,
                  AstTextListener* listener, const FrontEndExtras& extras) {
  if (!open_source(input_path, extras)) return kFrontEndInputNotOpened;
  int result = run_parser(output_fd, output_path, layout, listener, extras.positions);
  return program_output_end(true) ? result : kFrontEndOutputNotWritten;
}

std::string vrel_kept_source() {
  return source_kept();
}

ParsedSource vrel_parse_memory(std::string_view source) {
  // The text goes nowhere but into the result.
  class Collect : public AstTextListener {
   public:
    explicit Collect(std::string& text) : text_(text) {}
    void written(std::string_view block) override { text_.append(block); }

   private:
    std::string& text_;
  };
  ParsedSource parsed;
  KeptErrors errors(parsed.errors);
  Collect text(parsed.ast_text);
  set_diagnostic_sink(&errors);
  source_open_memory(source);
  try {
    parsed.result = run_parser(-1, "<memory>", AstLayout::kFlushLeft, &text, &parsed.positions);
  } catch (...) {
    set_diagnostic_sink(nullptr);
    throw;
  }
  set_diagnostic_sink(nullptr);
  program_output_end(true);
  if (parsed.result != kFrontEndAccepted) parsed.positions.clear();
  return parsed;
}
