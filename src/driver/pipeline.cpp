#include "driver/pipeline.h"

#include <cstdio>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <utility>

#include "ast/reader.h"
#include "codegen/translate.h"
#include "driver/compiler_command.h"
#include "driver/descriptor_io.h"
#include "frontend/frontend.h"
#include "support/compile_error.h"
#include "support/large_stack.h"

namespace vrel {

namespace {

bool sourceOpens(const char* source) {
  if (source == nullptr) return true;
  std::FILE* file = std::fopen(source, "rb");
  if (file == nullptr) return false;
  std::fclose(file);
  return true;
}

// -p prints the indented layout; the other modes only read the text back, without the blanks.
int runFrontEnd(const Options& options, const TempFile& astFile) {
  const char* source = options.inputFile ? options.inputFile->c_str() : nullptr;
  // An AST file that could not be created is reported as the front end reports an output it
  // cannot open: after the source, which it opens first and reports itself when it cannot.
  if (!astFile.created() && sourceOpens(source)) {
    std::fprintf(stderr, "Error: cannot open output file: %s\n", astFile.path().c_str());
    return kFrontEndOutputNotWritten;
  }
  AstLayout layout = options.mode == Mode::ModeAst ? AstLayout::kIndented : AstLayout::kFlushLeft;
  return vrel_parse_fd(source, astFile.fd(), astFile.path().c_str(), layout);
}

// The tree of the AST text, read back through the descriptor the front end wrote it by.
ast::Prog readTree(const TempFile& astFile) {
  DescriptorSource text(astFile.fd(), astFile.path());
  std::optional<ast::Prog> prog = ast::readProg(text);
  // The front end wrote something this reader cannot read: a fault of the compiler itself.
  if (!prog) throw std::logic_error("Haskell AST parse error.");
  return std::move(*prog);
}

// Writes the C text of the AST file to `out`. The tree is read, walked and destroyed on the large
// stack; the temporary files stay with this thread.
void translateAstFile(const TempFile& astFile, DescriptorWriter& out) {
  runWithLargeStack([&] {
    std::ostream stream(&out);
    translate(stream, readTree(astFile));
  });
  out.finish();
}

int printAst(TempFiles& files) {
  DescriptorWriter out = standardOutput();
  out.copyFrom(files.ast().fd(), files.ast().path());
  out.write("\n");
  out.close();
  files.ast().remove();
  return 0;
}

// With -o the output file is created or replaced only once the whole C text exists: the text is
// staged in the temporary C file and copied from there.
int translateToOutput(const Options& options, TempFiles& files) {
  if (!options.outputFile) {
    DescriptorWriter out = standardOutput();
    translateAstFile(files.ast(), out);
    out.close();
    files.ast().remove();
    return 0;
  }
  TempFile& staged = files.c();
  DescriptorWriter stage(staged.writableFd(), staged.path());
  translateAstFile(files.ast(), stage);
  DescriptorWriter out(openForWriting(*options.outputFile), *options.outputFile);
  out.copyFrom(staged.fd(), staged.path());
  out.close();
  files.ast().remove();
  staged.remove();
  return 0;
}

int buildExecutable(const Options& options, TempFiles& files) {
  TempFile& cFile = files.c();
  DescriptorWriter out(cFile.writableFd(), cFile.path());
  translateAstFile(files.ast(), out);
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
  std::fputs((message + "\n").c_str(), stderr);
  return status;
}

}  // namespace

bool needsCFile(const Options& options) {
  return options.mode == Mode::ModeExec || (options.mode == Mode::ModeC && options.outputFile);
}

int runCompiler(const Options& options) {
  if (options.mode != Mode::ModeAst && options.inputFile && options.outputFile &&
      isSameFile(*options.inputFile, *options.outputFile)) {
    throw CompileError("output file " + *options.outputFile + " is the input file");
  }
  RunNumbers runNumbers;
  TempFiles files(temporaryDirectory(), needsCFile(options), [&] { return runNumbers.next(); });
  return compileWith(options, files);
}

int compileWith(const Options& options, TempFiles& files) {
  int result = runFrontEnd(options, files.ast());
  if (result != kFrontEndAccepted) return result;
  return compileAstFile(options, files);
}

int compileAstFile(const Options& options, TempFiles& files) {
  switch (options.mode) {
    case Mode::ModeAst:
      return printAst(files);
    case Mode::ModeC:
      return translateToOutput(options, files);
    default:
      return buildExecutable(options, files);
  }
}

}  // namespace vrel
