#include "driver/pipeline.h"

#include <cstdio>
#include <cstring>
#include <optional>
#include <ostream>
#include <string>
#include <utility>

#include "codegen/translate.h"
#include "driver/ast_steps.h"
#include "driver/back_end.h"
#include "driver/compiler_command.h"
#include "driver/descriptor_io.h"
#include "driver/error_location.h"
#include "driver/output_file.h"
#include "support/compile_error.h"

namespace vrel {

namespace {

bool sourceOpens(const char* source) {
  if (source == nullptr) return true;
  std::FILE* file = std::fopen(source, "rb");
  if (file == nullptr) return false;
  (void)std::fclose(file);  // opened to read only: closing cannot lose anything
  return true;
}

int printAst(TempFiles& files) {
  DescriptorWriter out = standardOutput();
  copyIndented(files.ast().fd(), files.ast().path(), out);
  out.write("\n");
  out.close();
  files.ast().remove();
  return 0;
}

void writeTranslation(const Translation& translation, DescriptorWriter& out) {
  std::ostream stream(&out);
  translation.writeTo(stream);
  out.finish();
}

// The output file is created or replaced only now that the whole C text exists.
int translateToOutput(const Options& options, TempFiles& files, const Translation& translation) {
  if (options.outputFile) {
    OutputFile file(*options.outputFile);
    DescriptorWriter out(file.fd(), *options.outputFile);
    writeTranslation(translation, out);
    file.commit();
  } else {
    DescriptorWriter out = standardOutput();
    writeTranslation(translation, out);
    out.close();
  }
  files.ast().remove();
  return 0;
}

int buildExecutable(const Options& options, TempFiles& files, const Translation& translation) {
  TempFile& cFile = files.c();
  DescriptorWriter out(cFile.writableFd(), cFile.path());
  writeTranslation(translation, out);
  cFile.close();
  files.ast().remove();
  // The compiler reads the C file by name: that name must still be the file written.
  cFile.checkName();
  int status = runShellCommand(compilerCommand(options, cFile.path()));
  if (status == 0) {
    cFile.remove();
    return 0;
  }
  cFile.keep();
  std::string message = "Cannot compile, you may want to examine the C code:\n   " + cFile.path();
  Diagnostics("", {}).message(message);
  return status;
}

}  // namespace

bool needsCFile(const Options& options) {
  return options.mode == Mode::ModeExec;
}

int runCompiler(const Options& options, Diagnostics& diagnostics) {
  if (options.mode != Mode::ModeAst && options.inputFile && options.outputFile &&
      isSameFile(*options.inputFile, *options.outputFile)) {
    throw CompileError("output file " + *options.outputFile + " is the input file");
  }
  RunNumbers runNumbers;
  TempFiles files(temporaryDirectory(), needsCFile(options),
                  [&](RunRange range) { return runNumbers.next(range); });
  return compileWith(options, files, frontEndReportingTo(diagnostics));
}

// -p prints the text of the AST file once the front end has accepted the source. The other modes
// read the tree while the front end writes the text, and translate it once the front end has
// accepted the source; nothing is written before that.
int compileWith(const Options& options, TempFiles& files, const FrontEnd& frontEnd) {
  if (options.mode == Mode::ModeAst) {
    int result = frontEnd(options, files.ast(), nullptr, nullptr);
    return result == kFrontEndAccepted ? printAst(files) : result;
  }
  std::optional<CheckedSource> checked;
  if (options.checked) checked = CheckedSource{options.inputFile.value_or("<stdin>"), {}, {}};
  std::optional<Translation> translation;
  {
    BackEnd backEnd(options.inputFile, checked ? &*checked : nullptr);
    int result =
        frontEnd(options, files.ast(), backEnd.listener(), checked ? &checked->positions : nullptr);
    if (checked && result == kFrontEndAccepted) checked->bytes = sourceAgain(options.inputFile);
    translation = backEnd.finish(result == kFrontEndAccepted, files.ast());
    if (result != kFrontEndAccepted) return result;
  }
  if (options.mode == Mode::ModeC) return translateToOutput(options, files, *translation);
  return buildExecutable(options, files, *translation);
}

namespace {

int parseSource(const Options& options, const TempFile& astFile, AstTextListener* listener,
                std::vector<SourceSpan>* positions, Diagnostics* diagnostics) {
  const char* source = options.inputFile ? options.inputFile->c_str() : nullptr;
  // An AST file that could not be created is reported as the front end reports an output it
  // cannot open: after the source, which it opens first and reports itself when it cannot.
  if (!astFile.created() && sourceOpens(source)) {
    std::string line = "Error: cannot open output file: " + astFile.path();
    Diagnostics plain("", {});
    (diagnostics != nullptr ? *diagnostics : plain)
        .fileError(line, astFile.path(), std::strerror(astFile.createError()));
    return kFrontEndOutputNotWritten;
  }
  // -p prints the indented layout, staged in steps; the other modes read the text without blanks.
  AstLayout layout =
      options.mode == Mode::ModeAst ? AstLayout::kIndentSteps : AstLayout::kFlushLeft;
  FrontEndExtras extras;
  // A checked build reads the source again for its lines, standard input from what was kept.
  extras.positions = positions;
  extras.keep_source = positions != nullptr;
  if (diagnostics != nullptr) {
    extras.sink = diagnostics;
    extras.keep_source = extras.keep_source || diagnostics->blocks();
    if (source == nullptr) diagnostics->announceStandardInput();
  }
  return vrel_parse_fd(source, astFile.fd(), astFile.path().c_str(), layout, listener, extras);
}

}  // namespace

int runFrontEnd(const Options& options, const TempFile& astFile, AstTextListener* listener,
                std::vector<SourceSpan>* positions) {
  return parseSource(options, astFile, listener, positions, nullptr);
}

FrontEnd frontEndReportingTo(Diagnostics& diagnostics) {
  return [&diagnostics](const Options& options, const TempFile& astFile, AstTextListener* listener,
                        std::vector<SourceSpan>* positions) {
    return parseSource(options, astFile, listener, positions, &diagnostics);
  };
}

}  // namespace vrel
