#include "driver/pipeline.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <optional>
#include <string>

#include "ast/reader.h"
#include "codegen/translate.h"
#include "driver/compiler_command.h"
#include "driver/file_io.h"
#include "frontend/frontend.h"
#include "support/compile_error.h"

namespace vrel {

namespace {

[[noreturn]] void reportInternalError(const std::string& message) {
  std::fputs(("Internal error: " + message + "\n").c_str(), stderr);
  std::exit(2);
}

[[noreturn]] void printAst(const std::string& text, const TempFiles& files) {
  writeStandardOutput(text);
  writeStandardOutput("\n");
  closeStandardOutput();
  removeFile(files.astPath);
  std::exit(0);
}

[[noreturn]] void translateToOutput(const Options& options, const ast::Prog& prog,
                                    const TempFiles& files) {
  if (options.outputFile) {
    std::ofstream out = openForWriting(*options.outputFile);
    translate(out, prog);
    closeWritten(out, *options.outputFile);
  } else {
    translate(std::cout, prog);
    closeStandardOutput();
  }
  removeFile(files.astPath);
  std::exit(0);
}

[[noreturn]] void buildExecutable(const Options& options, const ast::Prog& prog,
                                  const TempFiles& files) {
  std::ofstream cFile = openForWriting(files.cPath);
  translate(cFile, prog);
  closeWritten(cFile, files.cPath);
  removeFile(files.astPath);
  int status = runShellCommand(compilerCommand(options, files.cPath));
  if (status == 0) {
    removeFile(files.cPath);
    std::exit(0);
  }
  std::string message = "Cannot compile, you may want to examine the C code:\n   " + files.cPath;
  std::fputs((message + "\n").c_str(), stderr);
  std::exit(status);
}

}  // namespace

void runCompiler(const Options& options) {
  if (options.mode != Mode::ModeAst && options.inputFile && options.outputFile &&
      isSameFile(*options.inputFile, *options.outputFile)) {
    throw CompileError("output file " + *options.outputFile + " is the input file");
  }
  RunNumbers runNumbers;
  TempFiles files = reserveTempFiles(temporaryDirectory(), options.mode == Mode::ModeExec,
                                     [&runNumbers] { return runNumbers.next(); });
  const char* source = options.inputFile ? options.inputFile->c_str() : nullptr;
  int result = vrel_parse_file(source, files.astPath.c_str());
  if (result != kFrontEndAccepted) {
    if (files.cReserved) releaseReservation(files.cPath);
    if (files.astReserved && result == kFrontEndInputNotOpened) releaseReservation(files.astPath);
    std::exit(result);
  }
  compileAstFile(options, files);
}

void compileAstFile(const Options& options, const TempFiles& files) {
  std::string text = readWholeFile(files.astPath);
  if (options.mode == Mode::ModeAst) printAst(text, files);
  std::optional<ast::Prog> prog = ast::readProg(text);
  if (!prog) {
    if (files.cReserved) releaseReservation(files.cPath);
    removeFile(files.astPath);
    reportInternalError("Haskell AST parse error.");
  }
  if (options.mode == Mode::ModeC) translateToOutput(options, *prog, files);
  buildExecutable(options, *prog, files);
}

}  // namespace vrel
