// The back end on its own thread: the channel that carries the AST text to it, and the pipeline
// with front ends that fail, stop or go on at every point while the reader runs.
#include "driver/back_end.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <future>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>

#include "ast/reader.h"
#include "driver/ast_text_channel.h"
#include "driver/pipeline.h"
#include "support/exit_request.h"
#include "support/large_stack.h"
#include "test_support.h"

namespace vrel {
namespace {

namespace fs = std::filesystem;
using test::readFile;
using test::ScratchDir;

constexpr auto kPatience = std::chrono::seconds(60);  // a wait this long is a deadlock

// `size` bytes that differ from one position to the next.
std::string pattern(std::size_t size) {
  std::string text(size, '\0');
  for (std::size_t i = 0; i < size; ++i) text[i] = static_cast<char>(i * 7 % 251);
  return text;
}

TEST(AstTextChannelTest, PassesEveryByteInOrderThroughASmallRing) {
  AstTextChannel channel(7);
  std::string text = pattern(100000);
  std::thread writer([&] {
    std::size_t size = 1;
    for (std::size_t at = 0; at < text.size(); at += size, size = size % 50 + 1)
      channel.written(std::string_view(text).substr(at, size));
    channel.close(true);
  });
  std::string received;
  char buffer[13];
  std::size_t capacity = 1;
  while (std::size_t got = channel.read(buffer, capacity)) {
    received.append(buffer, got);
    capacity = capacity % sizeof buffer + 1;
  }
  writer.join();
  EXPECT_EQ(received, text);
  EXPECT_TRUE(channel.accepted());
}

TEST(AstTextChannelTest, ClosedTextEndsTheReadsAndTheFirstVerdictHolds) {
  AstTextChannel channel(16);
  channel.written("abc");
  channel.close(false);
  channel.close(true);
  char buffer[16];
  EXPECT_EQ(channel.read(buffer, sizeof buffer), 3u);
  EXPECT_EQ(channel.read(buffer, sizeof buffer), 0u);
  EXPECT_FALSE(channel.accepted());
}

TEST(AstTextChannelTest, AReaderThatStopsReleasesTheWriter) {
  AstTextChannel channel(4);
  auto writer = std::async(std::launch::async, [&] { channel.written(pattern(1 << 20)); });
  char buffer[2];
  EXPECT_EQ(channel.read(buffer, sizeof buffer), 2u);
  EXPECT_EQ(writer.wait_for(std::chrono::milliseconds(50)), std::future_status::timeout);
  channel.stop();
  ASSERT_EQ(writer.wait_for(kPatience), std::future_status::ready);
  channel.written(pattern(1 << 20));  // dropped at once
}

TEST(LargeStackThreadTest, RunsWithTheSignalsAskedBlockedAndRethrowsInTheCaller) {
  sigset_t blocked;
  sigemptyset(&blocked);
  sigaddset(&blocked, SIGTERM);
  bool blockedInThread = false;
  std::function<void()> work = [&] {
    sigset_t mask;
    pthread_sigmask(SIG_SETMASK, nullptr, &mask);
    blockedInThread = sigismember(&mask, SIGTERM) == 1;
    throw std::runtime_error("from the thread");
  };
  LargeStackThread thread(work, &blocked);
  ASSERT_TRUE(thread.started());
  EXPECT_THROW(thread.join(), std::runtime_error);
  EXPECT_TRUE(blockedInThread);
  sigset_t mask;
  pthread_sigmask(SIG_SETMASK, nullptr, &mask);
  EXPECT_EQ(sigismember(&mask, SIGTERM), 0);
}

const char* const kProgram =
    "m () : proc\n"
    "  s : byte [4];\n"
    "  f (a : int, b : reference byte []) : int\n"
    "    n : int;\n"
    "  {\n"
    "    n = a * 2 + shrink(b[1]);\n"
    "    if (n > 3 & !(a == 1)) writeString(\"big\\n\"); else writeInteger(n);\n"
    "    return n;\n"
    "  }\n"
    "{\n"
    "  writeInteger(f(2, s));\n"
    "}\n";

// The flush-left AST text the front end writes for `source`.
std::string astFor(const ScratchDir& dir, const std::string& source) {
  std::string sourcePath = dir.file("expected.vrel");
  std::string astPath = dir.file("expected.ast");
  std::ofstream(sourcePath, std::ios::binary) << source;
  int fd = ::open(astPath.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  vrel_frontend_reset();
  EXPECT_EQ(vrel_parse_fd(sourcePath.c_str(), fd, astPath.c_str(), AstLayout::kFlushLeft), 0);
  ::close(fd);
  std::string ast = readFile(astPath);
  fs::remove(sourcePath);
  fs::remove(astPath);
  return ast;
}

// The C text of the tree of a whole AST text.
std::string cFor(const std::string& ast) {
  std::ostringstream c;
  runWithLargeStack([&] { translate(c, *ast::readProg(ast)); });
  return c.str();
}

// A front end that writes `text` to the AST file and its listener in blocks of 1 to `largest`
// bytes, runs `atEnd` (which may throw) and returns `result`.
FrontEnd scripted(
    std::string text, std::size_t largest, int result, std::function<void()> atEnd = [] {}) {
  return [=](const Options&, const TempFile& astFile, AstTextListener* listener,
             std::vector<SourceSpan>*) {
    std::size_t size = 1;
    for (std::size_t at = 0; at < text.size(); at += size, size = size % largest + 1) {
      std::string_view block = std::string_view(text).substr(at, size);
      EXPECT_EQ(::write(astFile.fd(), block.data(), block.size()),
                static_cast<ssize_t>(block.size()));
      if (listener != nullptr) listener->written(block);
    }
    atEnd();
    return result;
  };
}

// Compiles with -t -o through `frontEnd` in a run of its own, within the patience of a test;
// the run's temporary files are gone afterwards.
struct Outcome {
  int status = -1;
  std::string error;  // what the run threw, if anything
};

Outcome runTranslation(const ScratchDir& dir, const FrontEnd& frontEnd) {
  auto outcome = std::async(std::launch::async, [&] {
    Options options;
    options.mode = Mode::ModeC;
    options.outputFile = dir.file("out.c");
    Outcome run;
    try {
      TempFiles files(dir.path(), needsCFile(options), [](RunRange) { return 1; });
      run.status = compileWith(options, files, frontEnd);
    } catch (const ExitRequest& request) {
      run.error = "exit " + std::to_string(request.status);
    } catch (const std::exception& e) {
      run.error = e.what();
    }
    return run;
  });
  if (outcome.wait_for(kPatience) != std::future_status::ready) {
    ADD_FAILURE() << "the run did not end";
    std::abort();  // a thread still waits: nothing else can end the test
  }
  return outcome.get();
}

bool exists(const std::string& path) {
  return fs::exists(fs::symlink_status(path));
}

TEST(BackEndTest, TextInBlocksOfAnySizeTranslatesAsFromTheFile) {
  ScratchDir dir;
  std::string ast = astFor(dir, kProgram);
  std::string c = cFor(ast);
  for (std::size_t largest : {1, 3, 64, 1 << 20}) {
    Outcome run = runTranslation(dir, scripted(ast, largest, kFrontEndAccepted));
    EXPECT_EQ(run.status, 0) << run.error;
    EXPECT_EQ(readFile(dir.file("out.c")), c);
    fs::remove(dir.file("out.c"));
    EXPECT_TRUE(dir.empty());
  }
}

TEST(BackEndTest, AFrontEndFailureAtAnyPointIsItsStatusAndNothingIsTranslated) {
  ScratchDir dir;
  std::string ast = astFor(dir, kProgram);
  std::string half = ast.substr(0, ast.size() / 2);
  for (int result : {kFrontEndSyntaxError, kFrontEndStackOverflow, kFrontEndOutputNotWritten}) {
    for (const std::string& text : {std::string(), half, ast}) {
      Outcome run = runTranslation(dir, scripted(text, 5, result));
      EXPECT_EQ(run.status, result) << run.error;
      EXPECT_EQ(run.error, "");
      EXPECT_TRUE(dir.empty());
    }
  }
  // A complete text of a program with a semantic error, then a lexical error after it: the
  // front end's status, not the translation's message.
  std::string undefined = astFor(dir, "m () : proc {\n  x = 1;\n}\n");
  Outcome run = runTranslation(dir, scripted(undefined, 7, kFrontEndSyntaxError));
  EXPECT_EQ(run.status, kFrontEndSyntaxError);
  EXPECT_EQ(run.error, "");
  run = runTranslation(dir, scripted(undefined, 7, kFrontEndAccepted));
  EXPECT_EQ(run.error, "undefined variable x");
  EXPECT_TRUE(dir.empty());
}

TEST(BackEndTest, AFrontEndThatEndsTheRunLeavesNoThreadWaiting) {
  ScratchDir dir;
  std::string text = astFor(dir, kProgram);
  for (std::size_t cut : {std::size_t{0}, text.size() / 3, text.size()}) {
    Outcome run = runTranslation(
        dir, scripted(text.substr(0, cut), 4, kFrontEndAccepted, [] { throw ExitRequest{2}; }));
    EXPECT_EQ(run.error, "exit 2");
    EXPECT_TRUE(dir.empty());
  }
}

// The reader stops at the end of the program, or at its first fault, while the front end still
// writes more than the channel holds: the front end goes on unhindered.
TEST(BackEndTest, AReaderThatStopsEarlyNeverHoldsUpTheFrontEnd) {
  ScratchDir dir;
  std::string ast = astFor(dir, kProgram);
  std::string tail(3 * AstTextChannel::kDefaultCapacity, '\n');
  Outcome run = runTranslation(dir, scripted(ast + tail, 1 << 20, kFrontEndAccepted));
  EXPECT_EQ(run.status, 0) << run.error;
  EXPECT_EQ(readFile(dir.file("out.c")), cFor(ast));
  fs::remove(dir.file("out.c"));

  run = runTranslation(dir, scripted("Prog(Nonsense" + tail, 1 << 20, kFrontEndAccepted));
  EXPECT_EQ(run.error, "Haskell AST parse error.");
  EXPECT_FALSE(exists(dir.file("out.c")));
  run = runTranslation(dir, scripted("Prog(Nonsense" + tail, 1 << 20, kFrontEndSyntaxError));
  EXPECT_EQ(run.status, kFrontEndSyntaxError);
  EXPECT_EQ(run.error, "");
  EXPECT_TRUE(dir.empty());
}

// A program whose text is many times the channel's size, through the real front end: the same C
// text as a reading of the finished file gives.
TEST(BackEndTest, ALargeProgramTranslatesAsFromTheFile) {
  ScratchDir dir;
  std::string source = "m () : proc\n  g : int;\n";
  for (int f = 0; f < 60; ++f) {
    source += "  f" + std::to_string(f) + " (p : int, q : reference int) : proc\n";
    source += "    a : int [10];\n  {\n";
    for (int s = 0; s < 500; ++s) {
      source += "    q = q + a[p % 10] * " + std::to_string(s) + ";\n";
      source += "    if (q < p | !(q == 2)) a[(q + 1) % 10] = -q; else q = q / 2;\n";
    }
    source += "  }\n";
  }
  source += "{\n  f0(1, g);\n}\n";
  std::string ast = astFor(dir, source);
  ASSERT_GT(ast.size(), 3 * AstTextChannel::kDefaultCapacity);
  std::string sourcePath = dir.file("large.vrel");
  std::ofstream(sourcePath, std::ios::binary) << source;
  vrel_frontend_reset();
  Outcome run = runTranslation(dir, [&](const Options&, const TempFile& astFile,
                                        AstTextListener* listener, std::vector<SourceSpan>*) {
    Options options;
    options.inputFile = sourcePath;
    return runFrontEnd(options, astFile, listener);
  });
  EXPECT_EQ(run.status, 0) << run.error;
  EXPECT_TRUE(readFile(dir.file("out.c")) == cFor(ast));
}

}  // namespace
}  // namespace vrel
