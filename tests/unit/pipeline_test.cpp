#include "driver/pipeline.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "driver/compiler_command.h"
#include "driver/file_io.h"
#include "driver/temp_files.h"
#include "support/compile_error.h"

namespace vrel {
namespace {

// A fresh directory for one test, removed with its files afterwards.
class ScratchDir {
 public:
  ScratchDir() {
    char pattern[] = "/tmp/pipeline_test.XXXXXX";
    path_ = ::mkdtemp(pattern);
  }
  ~ScratchDir() { std::system(("rm -rf " + path_).c_str()); }
  std::string file(const std::string& name) const { return path_ + "/" + name; }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

bool exists(const std::string& path) {
  return ::access(path.c_str(), F_OK) == 0;
}

void writeFile(const std::string& path, const std::string& text) {
  std::ofstream(path) << text;
}

// Hands out the given run numbers in order.
std::function<int()> scripted(std::vector<int> numbers) {
  auto next = std::make_shared<std::size_t>(0);
  return [numbers, next] { return numbers.at((*next)++); };
}

TEST(PipelineTest, JoinPathPutsOneSeparatorBetweenDirectoryAndName) {
  EXPECT_EQ(joinPath("/tmp", "vrelhs_4711.ast"), "/tmp/vrelhs_4711.ast");
  EXPECT_EQ(joinPath("/var/tmp/", "a.c"), "/var/tmp/a.c");
  EXPECT_EQ(joinPath("c:\\temp\\", "a.c"), "c:\\temp\\a.c");
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
  for (int i = 0; i < 10000; ++i) {
    int n = numbers.next();
    ASSERT_GE(n, 0);
    ASSERT_LE(n, 99999);
  }
}

TEST(PipelineTest, CompilerCommandIsBuiltPieceByPiece) {
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
}

TEST(PipelineTest, ShellCommandStatusIsPassedOn) {
  EXPECT_EQ(runShellCommand("true"), 0);
  EXPECT_EQ(runShellCommand("exit 3"), 3);
  EXPECT_EQ(runShellCommand("exit 255"), 255);
  EXPECT_EQ(runShellCommand("kill -9 $$"), 128 + 9);
  EXPECT_EQ(runShellCommand(" -w -std=gnu99 x.c 2>/dev/null"), 127);
}

TEST(PipelineTest, ReservationSkipsTakenNames) {
  ScratchDir dir;
  TempFiles first = reserveTempFiles(dir.path(), true, scripted({5}));
  EXPECT_EQ(first.astPath, dir.file("vrelhs_5.ast"));
  EXPECT_EQ(first.cPath, dir.file("vrelhs_5.c"));
  EXPECT_TRUE(first.astReserved && first.cReserved);
  struct stat info {};
  ASSERT_EQ(::stat(first.astPath.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
  EXPECT_EQ(info.st_size, 0);

  TempFiles second = reserveTempFiles(dir.path(), true, scripted({5, 7}));
  EXPECT_EQ(second.astPath, dir.file("vrelhs_7.ast"));

  // A taken C name releases the AST name of the same number.
  writeFile(dir.file("vrelhs_9.c"), "keep");
  TempFiles third = reserveTempFiles(dir.path(), true, scripted({9, 11}));
  EXPECT_EQ(third.cPath, dir.file("vrelhs_11.c"));
  EXPECT_FALSE(exists(dir.file("vrelhs_9.ast")));

  // Without a C file only the AST name is reserved, even when the C name is taken.
  TempFiles astOnly = reserveTempFiles(dir.path(), false, scripted({9}));
  EXPECT_EQ(astOnly.astPath, dir.file("vrelhs_9.ast"));
  EXPECT_TRUE(astOnly.cPath.empty());
  EXPECT_FALSE(astOnly.cReserved);
}

TEST(PipelineTest, ReservationInMissingDirectoryLeavesTheOpenToTheWriter) {
  ScratchDir dir;
  TempFiles files = reserveTempFiles(dir.file("missing"), true, scripted({3}));
  EXPECT_EQ(files.astPath, dir.file("missing/vrelhs_3.ast"));
  EXPECT_FALSE(files.astReserved);
  EXPECT_FALSE(files.cReserved);
}

TEST(PipelineTest, ReservationGivesUpWhenEveryNameIsTaken) {
  ScratchDir dir;
  writeFile(dir.file("vrelhs_1.ast"), "");
  EXPECT_THROW(reserveTempFiles(dir.path(), false, [] { return 1; }), CompileError);
}

TEST(PipelineTest, FileOperationFailuresNameTheFile) {
  ScratchDir dir;
  try {
    readWholeFile(dir.file("absent.ast"));
    FAIL() << "reading a missing file succeeded";
  } catch (const CompileError& e) {
    EXPECT_NE(std::string(e.what()).find(dir.file("absent.ast")), std::string::npos);
  }
  EXPECT_THROW(removeFile(dir.file("absent.ast")), CompileError);
  EXPECT_THROW(openForWriting(dir.file("missing/out.c")), CompileError);

  std::ofstream full = openForWriting("/dev/full");
  full << std::string(100000, 'x');
  EXPECT_THROW(closeWritten(full, "/dev/full"), CompileError);

  std::string bytes("a\0b\xe9\n", 5);
  writeFile(dir.file("bytes"), bytes);
  EXPECT_EQ(readWholeFile(dir.file("bytes")), bytes);
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

TEST(PipelineDeathTest, UnreadableAstTextIsAnInternalError) {
  ScratchDir dir;
  TempFiles files{dir.file("vrelhs_1.ast"), dir.file("vrelhs_1.c"), true, true};
  writeFile(files.astPath, "Prog(FuncDef(\"m\",Rnothing,[],[]))\n");
  writeFile(files.cPath, "");
  Options options;
  EXPECT_EXIT(compileAstFile(options, files), testing::ExitedWithCode(2),
              "^Internal error: Haskell AST parse error.\n$");
  EXPECT_FALSE(exists(files.astPath));
  EXPECT_FALSE(exists(files.cPath));

  TempFiles empty{dir.file("vrelhs_2.ast"), "", true, false};
  writeFile(empty.astPath, "");
  options.mode = Mode::ModeC;
  EXPECT_EXIT(compileAstFile(options, empty), testing::ExitedWithCode(2),
              "^Internal error: Haskell AST parse error.\n$");
  EXPECT_FALSE(exists(empty.astPath));
}

}  // namespace
}  // namespace vrel
