#include "driver/pipeline.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "driver/ast_steps.h"
#include "driver/compiler_command.h"
#include "driver/descriptor_io.h"
#include "driver/temp_files.h"
#include "support/compile_error.h"
#include "test_support.h"

namespace vrel {
namespace {

using test::errorOf;
using test::readFile;
using test::ScratchDir;
using test::writeFile;

bool exists(const std::string& path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0;
}

void writeFd(int fd, const std::string& text) {
  ASSERT_EQ(::write(fd, text.data(), text.size()), static_cast<ssize_t>(text.size()));
}

// Hands out the given run numbers in order.
DrawRunNumber scripted(std::vector<std::uint64_t> numbers) {
  auto next = std::make_shared<std::size_t>(0);
  return [numbers, next](RunRange) { return numbers.at((*next)++); };
}

const char* const kHello = "hello () : proc\n{\n  writeString(\"Hello, world!\\n\");\n}\n";

TEST(PipelineTest, JoinPathPutsOneSeparatorBetweenDirectoryAndName) {
  EXPECT_EQ(joinPath("/tmp", "vrelhs_4711.ast"), "/tmp/vrelhs_4711.ast");
  EXPECT_EQ(joinPath("/var/tmp/", "a.c"), "/var/tmp/a.c");
  EXPECT_EQ(joinPath("tmp\\", "a.c"), "tmp\\/a.c");
  EXPECT_EQ(joinPath("", "a.c"), "a.c");
  EXPECT_EQ(joinPath("rel", "a.c"), "rel/a.c");
}

TEST(PipelineTest, TemporaryDirectoryIsTmpdirEvenWhenEmpty) {
  const char* saved = std::getenv("TMPDIR");
  std::string savedValue = saved ? saved : "";
  ::unsetenv("TMPDIR");
  EXPECT_EQ(temporaryDirectory(), "/tmp");
  ::setenv("TMPDIR", "", 1);
  EXPECT_EQ(temporaryDirectory(), "");
  ::setenv("TMPDIR", "/var/tmp/", 1);
  EXPECT_EQ(temporaryDirectory(), "/var/tmp/");
  if (saved) {
    ::setenv("TMPDIR", savedValue.c_str(), 1);
  } else {
    ::unsetenv("TMPDIR");
  }
}

TEST(PipelineTest, RunNumbersStayInRange) {
  RunNumbers numbers;
  for (int i = 0; i < 10000; ++i) ASSERT_LE(numbers.next(), 99999U);
}

// The AST text of `source` in `layout`, as the front end writes it.
std::string layOut(const ScratchDir& dir, const std::string& source, AstLayout layout) {
  writeFile(dir.file("source.vrel"), source);
  int fd = ::open(dir.file("layout.ast").c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  vrel_frontend_reset();
  EXPECT_EQ(vrel_parse_fd(dir.file("source.vrel").c_str(), fd, "layout.ast", layout), 0);
  ::close(fd);
  return readFile(dir.file("layout.ast"));
}

// Conditions in 3,000 pairs of parentheses indent by 6,000 blanks without a line of their own, and
// a sum of 3,000 terms nests 3,000 levels deep: the steps stay linear and give back every blank.
TEST(PipelineTest, IndentStepsGiveTheIndentedTextBack) {
  ScratchDir dir;
  std::string sum = "1";
  for (int i = 0; i < 3000; ++i) sum += "+1";
  std::string source = "m () : proc\n  x : int;\n{\n  if (" + std::string(3000, '(') + "x < 1" +
                       std::string(3000, ')') + ") x = " + sum +
                       ";\n  writeString(\"a\\tb\");\n}\n";
  std::string flushLeft = layOut(dir, source, AstLayout::kFlushLeft);
  std::string indented = layOut(dir, source, AstLayout::kIndented);
  EXPECT_LT(layOut(dir, source, AstLayout::kIndentSteps).size(), 2 * flushLeft.size());
  int in = ::open(dir.file("layout.ast").c_str(), O_RDONLY | O_CLOEXEC);
  ASSERT_GE(in, 0);
  {
    DescriptorWriter out(openForWriting(dir.file("printed")), dir.file("printed"));
    copyIndented(in, dir.file("layout.ast"), out);
    out.close();
  }
  ::close(in);
  EXPECT_EQ(readFile(dir.file("printed")), indented);
}

TEST(PipelineTest, ShellWordsAreQuotedUnlessEveryByteIsPlain) {
  EXPECT_EQ(shellWord("hello"), "hello");
  EXPECT_EQ(shellWord("/tmp/a_b.c-1+x,y=z:w@h%"), "/tmp/a_b.c-1+x,y=z:w@h%");
  EXPECT_EQ(shellWord(""), "''");
  EXPECT_EQ(shellWord("my prog"), "'my prog'");
  EXPECT_EQ(shellWord("it's"), "'it'\\''s'");
  EXPECT_EQ(shellWord("x; touch INJECTED; #"), "'x; touch INJECTED; #'");
  EXPECT_EQ(shellWord("$HOME"), "'$HOME'");
  EXPECT_EQ(shellWord("caf\xc3\xa9"), "'caf\xc3\xa9'");
  EXPECT_EQ(shellWord("~user"), "'~user'");
}

TEST(PipelineTest, CompilerCommandQuotesThePathsOnly) {
  Options plain;
  EXPECT_EQ(compilerCommand(plain, "/tmp/vrelhs_4711.c"), "gcc -w -std=gnu99 /tmp/vrelhs_4711.c");
  Options full;
  full.outputFile = "hello";
  full.gccPath = "/usr/bin/gcc-4";
  full.gccFlags = " -O2";
  EXPECT_EQ(compilerCommand(full, "/tmp/vrelhs_4711.c"),
            "/usr/bin/gcc-4 -o hello -w -std=gnu99 -O2 /tmp/vrelhs_4711.c");
  Options emptyGcc;
  emptyGcc.gccPath = "";
  EXPECT_EQ(compilerCommand(emptyGcc, "x.c"), " -w -std=gnu99 x.c");
  Options shellText;
  shellText.outputFile = "my prog";
  shellText.gccPath = "ccache gcc";
  shellText.gccFlags = " -O2 -g";
  EXPECT_EQ(compilerCommand(shellText, "/my tmp/vrelhs_1.c"),
            "ccache gcc -o 'my prog' -w -std=gnu99 -O2 -g '/my tmp/vrelhs_1.c'");
  Options dashed;
  dashed.outputFile = "-exe";
  EXPECT_EQ(compilerCommand(dashed, "-tmp/vrelhs_1.c"),
            "gcc -o ./-exe -w -std=gnu99 ./-tmp/vrelhs_1.c");
  // A checked build's flags come before the --gcc-flags, which can still override them.
  Options checked;
  checked.checked = true;
  checked.gccFlags = " -fno-sanitize=all";
  EXPECT_EQ(compilerCommand(checked, "x.c"),
            "gcc -w -std=gnu99 -g -gno-column-info -fsanitize=address,undefined "
            "-fno-sanitize=bounds -fno-omit-frame-pointer -fno-sanitize-recover=all "
            "-fno-sanitize=all x.c");
}

TEST(PipelineTest, ShellCommandStatusIsPassedOn) {
  EXPECT_EQ(runShellCommand("true"), 0);
  EXPECT_EQ(runShellCommand("exit 3"), 3);
  EXPECT_EQ(runShellCommand("exit 255"), 255);
  EXPECT_EQ(runShellCommand("kill -9 $$"), 128 + 9);
  EXPECT_EQ(runShellCommand(" -w -std=gnu99 x.c 2>/dev/null"), 127);
}

TEST(PipelineTest, ReservationSkipsTakenNamesAndHandsOutDescriptors) {
  ScratchDir dir;
  {
    TempFiles first(dir.path(), true, scripted({5}));
    EXPECT_EQ(first.ast().path(), dir.file("vrelhs_5.ast"));
    EXPECT_EQ(first.c().path(), dir.file("vrelhs_5.c"));
    ASSERT_TRUE(first.ast().created() && first.c().created());
    EXPECT_GT(first.ast().fd(), STDERR_FILENO);
    struct stat info {};
    ASSERT_EQ(::stat(first.ast().path().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    EXPECT_EQ(info.st_size, 0);

    TempFiles second(dir.path(), true, scripted({5, 7}));
    EXPECT_EQ(second.ast().path(), dir.file("vrelhs_7.ast"));

    // A taken C name gives up the AST name of the same number.
    writeFile(dir.file("vrelhs_9.c"), "keep");
    TempFiles third(dir.path(), true, scripted({9, 11}));
    EXPECT_EQ(third.c().path(), dir.file("vrelhs_11.c"));
    EXPECT_FALSE(exists(dir.file("vrelhs_9.ast")));

    // Without a C file only the AST name is taken, even when the C name is not free.
    TempFiles astOnly(dir.path(), false, scripted({9}));
    EXPECT_EQ(astOnly.ast().path(), dir.file("vrelhs_9.ast"));
    EXPECT_TRUE(astOnly.c().path().empty());
    EXPECT_FALSE(astOnly.c().created());
  }
  // The owners removed every file they created, and only those.
  EXPECT_FALSE(exists(dir.file("vrelhs_5.ast")));
  EXPECT_FALSE(exists(dir.file("vrelhs_5.c")));
  EXPECT_FALSE(exists(dir.file("vrelhs_11.ast")));
  EXPECT_FALSE(exists(dir.file("vrelhs_9.ast")));
  EXPECT_EQ(readFile(dir.file("vrelhs_9.c")), "keep");
}

TEST(PipelineTest, OwnerRemovesUnlessKept) {
  ScratchDir dir;
  {
    TempFiles files(dir.path(), true, scripted({1}));
    files.c().keep();
    files.ast().remove();
    EXPECT_FALSE(exists(files.ast().path()));
    EXPECT_NO_THROW(files.ast().remove());
  }
  EXPECT_TRUE(exists(dir.file("vrelhs_1.c")));

  TempFiles files(dir.path(), false, scripted({2}));
  ASSERT_EQ(::unlink(files.ast().path().c_str()), 0);
  EXPECT_EQ(errorOf([&] { files.ast().remove(); }),
            "cannot remove " + dir.file("vrelhs_2.ast") + ": No such file or directory");
}

TEST(PipelineTest, ReservationInMissingDirectoryLeavesTheReportToTheWriter) {
  ScratchDir dir;
  TempFiles files(dir.file("missing"), true, scripted({3}));
  EXPECT_EQ(files.ast().path(), dir.file("missing/vrelhs_3.ast"));
  EXPECT_FALSE(files.ast().created());
  EXPECT_EQ(files.ast().fd(), -1);
  EXPECT_FALSE(files.c().created());
  EXPECT_EQ(errorOf([&] { files.ast().writableFd(); }),
            "cannot open " + dir.file("missing/vrelhs_3.ast") +
                " for writing: No such file or directory");
}

TEST(PipelineTest, ReservationGivesUpWhenEveryNameIsTaken) {
  ScratchDir dir;
  writeFile(dir.file("vrelhs_1.ast"), "");
  EXPECT_THROW(TempFiles(dir.path(), false, [](RunRange) { return 1; }), CompileError);
}

TEST(PipelineTest, ReservationDrawsFromTheWideRangeOnceTheUsualOneSeemsTaken) {
  ScratchDir dir;
  writeFile(dir.file("vrelhs_1.ast"), "");
  std::uint64_t wide = std::uint64_t{1} << 40;
  TempFiles files(dir.path(), false,
                  [&](RunRange range) { return range == RunRange::kUsual ? 1 : wide; });
  EXPECT_EQ(files.ast().path(), dir.file("vrelhs_1099511627776.ast"));
}

TEST(PipelineDeathTest, ClosedStandardStreamsNeverBecomeTemporaryFiles) {
  ScratchDir dir;
  EXPECT_EXIT(
      {
        ::close(STDIN_FILENO);
        ::close(STDOUT_FILENO);
        TempFiles files(dir.path(), true, scripted({1}));
        std::_Exit(files.ast().fd() > STDERR_FILENO && files.c().fd() > STDERR_FILENO ? 0 : 1);
      },
      testing::ExitedWithCode(0), "");
}

TEST(PipelineDeathTest, SignalRemovesTheFilesAndEndsTheProcessBySignal) {
  ScratchDir dir;
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
    EXPECT_EXIT(
        {
          TempFiles files(dir.path(), true, scripted({static_cast<std::uint64_t>(signal)}));
          files.c().keep();
          std::raise(signal);
          std::_Exit(0);
        },
        testing::KilledBySignal(signal), "");
    EXPECT_FALSE(exists(dir.file("vrelhs_" + std::to_string(signal) + ".ast")));
    EXPECT_TRUE(exists(dir.file("vrelhs_" + std::to_string(signal) + ".c")));
  }
}

// Everything a DescriptorSource hands out, in blocks of a few kilobytes.
std::string readAll(int fd, const std::string& path) {
  DescriptorSource source(fd, path);
  std::string text;
  char block[4096];
  while (std::size_t got = source.read(block, sizeof block)) text.append(block, got);
  return text;
}

TEST(PipelineTest, WritesAndReadsGoThroughDescriptorsAndNameTheFile) {
  ScratchDir dir;
  std::string bytes("a\0b\xe9\n", 5);
  std::string large(3 << 20, 'x');
  large[12345] = '\0';
  int fd = openForWriting(dir.file("out"));
  {
    DescriptorWriter out(fd, dir.file("out"));
    out.write(bytes);
    out.write(large);
    out.close();
  }
  EXPECT_EQ(readFile(dir.file("out")), bytes + large);

  int in = ::open(dir.file("out").c_str(), O_RDONLY | O_CLOEXEC);
  ASSERT_GE(in, 0);
  ASSERT_EQ(::lseek(in, 7, SEEK_SET), 7);  // reads start at the beginning, wherever the offset
  EXPECT_EQ(readAll(in, dir.file("out")), bytes + large);
  int copy = openForWriting(dir.file("copy"));
  {
    DescriptorWriter out(copy, dir.file("copy"));
    out.write("<");
    copyIndented(in, dir.file("out"), out);
    out.write(">");
    out.close();
  }
  EXPECT_EQ(readFile(dir.file("copy")), "<" + bytes + large + ">");
  ::close(in);

  DescriptorWriter full(openForWriting("/dev/full"), "/dev/full");
  full.write("x");
  EXPECT_EQ(errorOf([&] { full.close(); }), "cannot write /dev/full: No space left on device");
  DescriptorWriter fullDirect(openForWriting("/dev/full"), "/dev/full");
  EXPECT_EQ(errorOf([&] { fullDirect.write(large); }),
            "cannot write /dev/full: No space left on device");

  EXPECT_EQ(errorOf([&] { openForWriting(dir.file("missing/out.c")); }),
            "cannot open " + dir.file("missing/out.c") + " for writing: No such file or directory");
  int directory = ::open(dir.path().c_str(), O_RDONLY | O_CLOEXEC);
  EXPECT_EQ(errorOf([&] { readAll(directory, dir.path()); }),
            "cannot read " + dir.path() + ": Is a directory");
  ::close(directory);
}

TEST(PipelineTest, SameFileMeansSameInode) {
  ScratchDir dir;
  writeFile(dir.file("a.vrel"), "x");
  writeFile(dir.file("b.vrel"), "x");
  ASSERT_EQ(::link(dir.file("a.vrel").c_str(), dir.file("hard.vrel").c_str()), 0);
  EXPECT_TRUE(isSameFile(dir.file("a.vrel"), dir.file("a.vrel")));
  EXPECT_TRUE(isSameFile(dir.file("a.vrel"), dir.file("hard.vrel")));
  EXPECT_TRUE(isSameFile(dir.file("a.vrel"), dir.path() + "/./a.vrel"));
  EXPECT_FALSE(isSameFile(dir.file("a.vrel"), dir.file("b.vrel")));
  EXPECT_FALSE(isSameFile(dir.file("a.vrel"), dir.file("none.vrel")));
}

TEST(PipelineTest, UnreadableAstTextIsAnInternalErrorAndRemovesTheFiles) {
  ScratchDir dir;
  std::string text = "Prog(FuncDef(\"m\",Rnothing,[],[]))\n";
  FrontEnd unreadable = [&](const Options&, const TempFile& astFile, AstTextListener* listener,
                            std::vector<SourceSpan>*) {
    writeFd(astFile.fd(), text);
    if (listener != nullptr) listener->written(text);
    return kFrontEndAccepted;
  };
  for (Mode mode : {Mode::ModeExec, Mode::ModeC}) {
    Options options;
    options.mode = mode;
    options.outputFile = dir.file("out.c");
    TempFiles files(dir.path(), needsCFile(options), scripted({1}));
    try {
      compileWith(options, files, unreadable);
      FAIL() << "an unreadable AST text was accepted";
    } catch (const std::logic_error& e) {
      EXPECT_STREQ(e.what(), "Haskell AST parse error.");
    }
  }
  EXPECT_FALSE(exists(dir.file("vrelhs_1.ast")));
  EXPECT_FALSE(exists(dir.file("vrelhs_1.c")));
  EXPECT_FALSE(exists(dir.file("out.c")));
}

// Another user swaps the reserved names for links to files of the user running vrelc, between
// the reservation and their use: those files are never written, and the run works on its own
// files or fails cleanly.
TEST(PipelineTest, NamesSwappedForLinksNeverRedirectTheWork) {
  ScratchDir dir;
  writeFile(dir.file("hello.vrel"), kHello);
  writeFile(dir.file("victim.ast"), "precious ast");
  writeFile(dir.file("victim.c"), "precious c");
  auto swapForLinks = [&](TempFiles& files) {
    for (TempFile* file : {&files.ast(), &files.c()}) {
      if (!file->created()) continue;
      ASSERT_EQ(::unlink(file->path().c_str()), 0);
      std::string victim = dir.file(file == &files.ast() ? "victim.ast" : "victim.c");
      ASSERT_EQ(::symlink(victim.c_str(), file->path().c_str()), 0);
    }
  };

  Options translateTo;
  translateTo.mode = Mode::ModeC;
  translateTo.inputFile = dir.file("hello.vrel");
  translateTo.outputFile = dir.file("clean.c");
  {
    TempFiles files(dir.path(), needsCFile(translateTo), scripted({1}));
    EXPECT_EQ(compileWith(translateTo, files, runFrontEnd), 0);
  }
  translateTo.outputFile = dir.file("attacked.c");
  {
    TempFiles files(dir.path(), needsCFile(translateTo), scripted({2}));
    swapForLinks(files);
    EXPECT_EQ(compileWith(translateTo, files, runFrontEnd), 0);
  }
  EXPECT_NE(readFile(dir.file("clean.c")).find("Hello, world!"), std::string::npos);
  EXPECT_EQ(readFile(dir.file("attacked.c")), readFile(dir.file("clean.c")));

  Options build;
  build.inputFile = dir.file("hello.vrel");
  build.gccPath = "true";
  {
    TempFiles files(dir.path(), needsCFile(build), scripted({3}));
    swapForLinks(files);
    EXPECT_EQ(
        errorOf([&] { compileWith(build, files, runFrontEnd); }),
        "temporary file " + dir.file("vrelhs_3.c") + " was removed or replaced by another file");
  }

  EXPECT_EQ(readFile(dir.file("victim.ast")), "precious ast");
  EXPECT_EQ(readFile(dir.file("victim.c")), "precious c");
  for (int n : {1, 2, 3}) {
    EXPECT_FALSE(exists(dir.file("vrelhs_" + std::to_string(n) + ".ast")));
    EXPECT_FALSE(exists(dir.file("vrelhs_" + std::to_string(n) + ".c")));
  }
}

}  // namespace
}  // namespace vrel
