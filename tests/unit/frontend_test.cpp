// The front end keeps process-wide counters, so every case runs in a child process of its own.
#include "frontend/frontend.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>

#include "frontend/error_reporter.h"
#include "frontend/lexer.h"
#include "frontend/source_input.h"
#include "frontend/syntax_tree.h"
#include "parser.hpp"
#include "support/exit_request.h"
#include "test_support.h"

namespace fs = std::filesystem;
using namespace std::string_literals;
using vrel::test::readFile;
using vrel::test::ScratchDir;
using vrel::test::writeFile;

namespace {

const fs::path kDataDir = fs::path(__FILE__).parent_path() / "frontend";

struct Outcome {
  std::string log;  // standard error, then "result N" or "exit N" for a process that ended itself
  std::string ast;  // the output file, empty when it was not created
};

// Runs `work` in a child whose standard error goes to a file; `work` returns the front end's
// result, which the child sends back through a pipe. A run ended by vrel::ExitRequest ends the
// child with its status, as main would.
Outcome run_in_child(const ScratchDir& dir, const std::function<int()>& work,
                     const fs::path& ast_path = {}) {
  fs::path err_path = dir / "stderr";
  int pipe_fds[2];
  EXPECT_EQ(pipe(pipe_fds), 0);
  pid_t pid = fork();
  if (pid == 0) {
    close(pipe_fds[0]);
    int err = open(err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(err, STDERR_FILENO);
    int result = 0;
    try {
      result = work();
    } catch (const vrel::ExitRequest& request) {
      _exit(request.status);
    }
    std::fflush(stderr);
    if (write(pipe_fds[1], &result, sizeof result) != sizeof result) _exit(99);
    _exit(0);
  }
  close(pipe_fds[1]);
  int result = 0;
  bool returned = read(pipe_fds[0], &result, sizeof result) == sizeof result;
  close(pipe_fds[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  Outcome outcome;
  outcome.log = readFile(err_path);
  outcome.log += returned ? "result " + std::to_string(result) + "\n"
                          : "exit " + std::to_string(WEXITSTATUS(status)) + "\n";
  if (!ast_path.empty() && fs::exists(ast_path)) outcome.ast = readFile(ast_path);
  return outcome;
}

// Parses `source` from a file and returns the messages, the result and the AST text.
Outcome parse_source(const std::string& source) {
  ScratchDir dir;
  fs::path input = dir / "input.vrel";
  fs::path output = dir / "output.ast";
  writeFile(input, source);
  return run_in_child(
      dir, [&] { return vrel_parse_file(input.c_str(), output.c_str()); }, output);
}

// Parses `source` and returns the messages, the result and the size of the AST text.
std::pair<std::string, std::uintmax_t> parse_large(const std::string& source) {
  ScratchDir dir;
  fs::path input = dir / "input.vrel";
  fs::path output = dir / "output.ast";
  writeFile(input, source);
  Outcome outcome =
      run_in_child(dir, [&] { return vrel_parse_file(input.c_str(), output.c_str()); });
  return {outcome.log, fs::file_size(output)};
}

// Scans `source` to its end: one line per token, its code and for ID, NUMBER, STRING and CHAR its
// text in brackets; lexical errors are interleaved where they were reported.
std::string scan(const std::string& source) {
  ScratchDir dir;
  fs::path input = dir / "input.vrel";
  writeFile(input, source);
  Outcome outcome = run_in_child(dir, [&] {
    vrel::frontend::source_open(input.c_str());
    vrel_lexer_start();
    int token;
    while ((token = vrel_yylex()) != 0) {
      std::string line = std::to_string(token);
      if (token >= T_ID && token <= T_CHAR) {
        line += " [" + std::string(vrel::frontend::program_tree.text(vrel_yylval.text)) + "]";
      }
      line += '\n';
      std::fwrite(line.data(), 1, line.size(), stderr);
    }
    return 0;
  });
  return outcome.log;
}

std::string expected_log(const std::string& name) {
  return readFile(kDataDir / (name + ".log"));
}

TEST(FrontEndTest, WritesExactAstTextOfEveryConstruct) {
  for (const char* name : {"example", "functions", "statements", "expressions", "conditions",
                           "illegal_bytes", "unfinished_comment", "token_after_main"}) {
    SCOPED_TRACE(name);
    Outcome outcome = parse_source(readFile(kDataDir / (std::string(name) + ".vrel")));
    EXPECT_EQ(outcome.log, expected_log(name));
    EXPECT_EQ(outcome.ast, readFile(kDataDir / (std::string(name) + ".ast")));
  }
}

// Through a descriptor the file gets the same lines, indented or flush left, and stays open.
TEST(FrontEndTest, WritesThroughADescriptorInEitherLayout) {
  std::string source = readFile(kDataDir / "example.vrel");
  std::string indented = readFile(kDataDir / "example.ast");
  std::string flush_left;
  for (std::size_t start = 0; start < indented.size();) {
    std::size_t end = indented.find('\n', start) + 1;
    std::size_t text = indented.find_first_not_of(' ', start);
    flush_left += indented.substr(text, end - text);
    start = end;
  }
  for (AstLayout layout : {AstLayout::kIndented, AstLayout::kFlushLeft}) {
    ScratchDir dir;
    fs::path input = dir / "input.vrel";
    fs::path output = dir / "output.ast";
    writeFile(input, source);
    Outcome outcome = run_in_child(
        dir,
        [&] {
          int fd = open(output.c_str(), O_RDWR | O_CREAT | O_TRUNC, 0600);
          int result = vrel_parse_fd(input.c_str(), fd, output.c_str(), layout);
          return fcntl(fd, F_GETFD) == 0 ? result : -1;
        },
        output);
    EXPECT_EQ(outcome.log, "result 0\n");
    EXPECT_EQ(outcome.ast, layout == AstLayout::kIndented ? indented : flush_left);
  }
}

TEST(FrontEndTest, ScansTokensByLongestMatch) {
  EXPECT_EQ(scan(""), "result 0\n");
  EXPECT_EQ(scan("x -- comment without newline"), "268 [x]\nresult 0\n");
  EXPECT_EQ(scan("12ab _x"),
            "269 [12]\n268 [ab]\nError 1: Line 1: Illegal token\n268 [x]\n"
            "result 0\n");
  EXPECT_EQ(scan("x = a--b;\ny"), "268 [x]\n61\n268 [a]\n268 [y]\nresult 0\n");
  EXPECT_EQ(scan("((* c *)x)"), "40\n268 [x]\n41\nresult 0\n");
  EXPECT_EQ(scan("=== <> <= >= !="), "275\n61\n60\n62\n272\n273\n274\nresult 0\n");
  EXPECT_EQ(scan("if iff If integer int"),
            "261\n268 [iff]\n268 [If]\n268 [integer]\n262\n"
            "result 0\n");
  EXPECT_EQ(scan("byte else false proc reference return true while"),
            "258\n259\n260\n263\n264\n265\n266\n267\nresult 0\n");
  EXPECT_EQ(scan("{}():;,=[]+-!*/%&|<>"),
            "123\n125\n40\n41\n58\n59\n44\n61\n91\n93\n43\n45\n33\n42\n47\n37\n38\n124\n60\n"
            "62\nresult 0\n");
}

TEST(FrontEndTest, ScansConstantsWithUndecodedEscapes) {
  EXPECT_EQ(scan("\"\" 'a' '\\n' '\\x4f' \"a\\x41b\\n\\\"\\'\\\\\\0\""),
            "270 []\n271 [a]\n271 [\\n]\n271 [\\x4f]\n270 [a\\x41b\\n\\\"\\'\\\\\\0]\n"
            "result 0\n");
  EXPECT_EQ(scan("''\n'ab'"),
            "Error 1: Line 1: Illegal token\nError 2: Line 1: Illegal token\n"
            "Error 3: Line 2: Illegal token\n268 [ab]\n"
            "Error 4: Line 2: Illegal token\nresult 0\n");
  // A raw double quote cannot stand in a character constant; the rest then fails as well.
  EXPECT_EQ(scan("'\"'"),
            "Error 1: Line 1: Illegal token\nError 2: Line 1: Illegal token\n"
            "Error 3: Line 1: Illegal token\nresult 0\n");
  EXPECT_EQ(scan("\"\\x4\""),
            "Error 1: Line 1: Illegal token\nError 2: Line 1: Illegal token\n"
            "268 [x4]\nError 3: Line 1: Illegal token\nresult 0\n");
  EXPECT_EQ(scan("\"\\q\""),
            "Error 1: Line 1: Illegal token\nError 2: Line 1: Illegal token\n"
            "268 [q]\nError 3: Line 1: Illegal token\nresult 0\n");
  EXPECT_EQ(scan("\"open\nx"), "Error 1: Line 1: Illegal token\n268 [open]\n268 [x]\nresult 0\n");
  EXPECT_EQ(scan("\"\xe9\t\r\""), "270 [\xe9\t\r]\nresult 0\n");
}

TEST(FrontEndTest, KeepsNulBytesInsideConstantsOnly) {
  EXPECT_EQ(scan("\"a\0b\" '\0' \0 x"s),
            "270 [a\0b]\n271 [\0]\nError 1: Line 1: Illegal token\n268 [x]\nresult 0\n"s);
  Outcome outcome = parse_source("m () : proc { s = \"a\0b\"; }"s);
  EXPECT_EQ(outcome.log, "result 0\n");
  EXPECT_NE(outcome.ast.find("\"a\0b\"\n"s), std::string::npos);
}

TEST(FrontEndTest, CountsLinesAndIllegalBytes) {
  // A carriage return ends a line only right before a newline; alone it is an illegal byte.
  EXPECT_EQ(scan("(* one\ntwo *\n*) @ -- three\n@\r\n@ \r \r\r\n@"),
            "Error 1: Line 3: Illegal token\nError 2: Line 4: Illegal token\n"
            "Error 3: Line 5: Illegal token\nError 4: Line 5: Illegal token\n"
            "Error 5: Line 5: Illegal token\nError 6: Line 6: Illegal token\nresult 0\n");
  EXPECT_EQ(scan("x (* (* not nested\n\n"),
            "268 [x]\nError 1: Line 3: Unfinished comment\n"
            "result 0\n");
  EXPECT_EQ(scan("a\fb\x01"),
            "268 [a]\nError 1: Line 1: Illegal token\n268 [b]\n"
            "Error 2: Line 1: Illegal token\nresult 0\n");
}

// Comments skip a carriage return as text; inside constants it stands for itself.
TEST(FrontEndTest, TakesWindowsLineEndsAndAByteOrderMark) {
  EXPECT_EQ(scan("\xEF\xBB\xBFx\r\ny\r\n\r\nz @"),
            "268 [x]\n268 [y]\n268 [z]\nError 1: Line 4: Illegal token\nresult 0\n");
  EXPECT_EQ(scan("\xEF\xBB\xBF"), "result 0\n");
  EXPECT_EQ(scan("\xEF\xBB\xBF\xEF\xBB\xBF"),
            "Error 1: Line 1: Illegal token\nError 2: Line 1: Illegal token\n"
            "Error 3: Line 1: Illegal token\nresult 0\n");
  EXPECT_EQ(scan("x\xEF\xBB\xBF"),
            "268 [x]\nError 1: Line 1: Illegal token\nError 2: Line 1: Illegal token\n"
            "Error 3: Line 1: Illegal token\nresult 0\n");
  EXPECT_EQ(scan("\xEF\xBBx"),
            "Error 1: Line 1: Illegal token\nError 2: Line 1: Illegal token\n268 [x]\nresult 0\n");
  EXPECT_EQ(scan("\r\nx"), "268 [x]\nresult 0\n");
  EXPECT_EQ(scan("-- a\r\n(* b\r\n*)\r'\r' \"\r\" \"c\r\n@"),
            "Error 1: Line 3: Illegal token\n271 [\r]\n270 [\r]\n"
            "Error 2: Line 3: Illegal token\n268 [c]\nError 3: Line 4: Illegal token\nresult 0\n");

  std::string source = readFile(kDataDir / "example.vrel");
  std::string crlf;
  for (char c : source) crlf += c == '\n' ? "\r\n" : std::string(1, c);
  for (const std::string& variant : {crlf, "\xEF\xBB\xBF" + source, "\xEF\xBB\xBF" + crlf}) {
    Outcome outcome = parse_source(variant);
    EXPECT_EQ(outcome.log, "result 0\n");
    EXPECT_EQ(outcome.ast, readFile(kDataDir / "example.ast"));
  }
}

// Lexical errors fail a source that parses; its complete text is written all the same.
TEST(FrontEndTest, FailsASourceWithLexicalErrors) {
  Outcome after_main = parse_source("m () : proc { }\n@");
  EXPECT_EQ(after_main.log, "Error 1: Line 2: Illegal token\nresult 1\n");
  EXPECT_EQ(after_main.ast, parse_source("m () : proc { }\n").ast);
  EXPECT_NE(after_main.ast, "");
  EXPECT_EQ(parse_source("m () : proc { }\n(*").log,
            "Error 1: Line 2: Unfinished comment\nresult 1\n");
  EXPECT_EQ(
      parse_source("@" + std::string("main () : proc {") + std::string(9991, ';') + "}\n").log,
      "Error 1: Line 1: Illegal token\nError 2: Line 1: parser stack overflow\nresult 2\n");
}

// Counters are 64 bits wide: past 2^31 and 2^32 they are printed in full.
TEST(FrontEndTest, CountsLinesAndErrorsPastThirtyTwoBits) {
  ScratchDir dir;
  fs::path source = dir / "in.vrel";
  fs::path output = dir / "out.ast";
  writeFile(source, "\n@ m () : proc { }\n@");
  Outcome outcome = run_in_child(dir, [&] {
    vrel::frontend::line_number = std::int64_t{1} << 32;
    vrel::frontend::error_count = INT32_MAX;
    return vrel_parse_file(source.c_str(), output.c_str());
  });
  EXPECT_EQ(outcome.log,
            "Error 2147483648: Line 4294967297: Illegal token\n"
            "Error 2147483649: Line 4294967298: Illegal token\nresult 1\n");
}

TEST(FrontEndTest, StopsAtTheFirstSyntaxError) {
  const std::string head = "main () : proc\n{\n";
  for (const char* body : {"x = y = 1;", "x[1][2] = 1;", "f(x)[1] = 2;", "if (a) ;", "if ((a)) ;",
                           "if (a < b < c) ;", "if (a == b < c) ;", "x = (a < b);", "return a < b;",
                           "\"s\"[1] = 2;", "f()();", "x = f(1)[0];", "if (a + b) ;"}) {
    SCOPED_TRACE(body);
    Outcome outcome = parse_source(head + body + "\n}\n");
    EXPECT_EQ(outcome.log, "Error 1: Line 3: syntax error\nresult 1\n");
    EXPECT_EQ(outcome.ast, "");
  }
  EXPECT_EQ(parse_source("").log, "Error 1: Line 1: syntax error\nresult 1\n");
  EXPECT_EQ(parse_source(head + "  x = 1\n}\n").log, "Error 1: Line 4: syntax error\nresult 1\n");
  // Lexical errors before the syntax error come first; nothing after it is even scanned.
  EXPECT_EQ(parse_source(head + "  @ x = ;\n  @ (*").log,
            "Error 1: Line 3: Illegal token\nError 2: Line 3: syntax error\nresult 1\n");
  EXPECT_EQ(parse_source("m () : proc { }\nm () : proc { }\n").log,
            "Error 1: Line 2: syntax error\nresult 1\n");
}

TEST(FrontEndTest, AcceptsTheFormsTheGrammarAllows) {
  for (const char* body : {"\"s\" = 1;", "if ((a) < b) ;", "if (((a < b))) ;", "x = -(-(a));",
                           "x = f(g(h()));", "return +a * -b;"}) {
    SCOPED_TRACE(body);
    EXPECT_EQ(parse_source(std::string("m () : int\n{\n") + body + "\n}\n").log, "result 0\n");
  }
}

std::string empty_statements(int count) {
  return "main () : proc {" + std::string(count, ';') + "}\n";
}

TEST(FrontEndTest, OverflowsTheParserStackAtTenThousandEntries) {
  Outcome fits = parse_source(empty_statements(9990));
  EXPECT_EQ(fits.log, "result 0\n");
  EXPECT_EQ(fits.ast.size(), 219884u);
  Outcome overflows = parse_source(empty_statements(9991));
  EXPECT_EQ(overflows.log, "Error 1: Line 1: parser stack overflow\nresult 2\n");
  EXPECT_EQ(overflows.ast, "");
}

std::string repeat(const std::string& text, int count) {
  std::string out;
  for (int i = 0; i < count; ++i) out += text;
  return out;
}

// Nesting as deep as the parser stack admits; the text grows with the square of the depth.
TEST(FrontEndTest, ParsesDeeplyNestedPrograms) {
  const int d = 9980;
  const std::string open = "main () : proc {\n";
  const std::pair<std::string, std::uintmax_t> cases[] = {
      {open + "x = " + repeat("(", d) + "1" + repeat(")", d) + ";\n}\n", 199540356},
      {open + "x = " + repeat("- ", d) + "1;\n}\n", 199610216},
      {open + repeat("{", d) + repeat("}", d) + "\n}\n", 797182545},
      {open + "if (" + repeat("!", d) + "true) ;\n}\n", 199480417},
      {open + "if (" + repeat("(", d) + "true" + repeat(")", d) + ") ;\n}\n", 20137},
      {open + repeat("if (true) ", 2490) + ";\n}\n", 24917556},
      {open + repeat("while (true) ", 2490) + ";\n}\n", 24925026},
      {repeat("f () : proc ", 1400) + repeat("{ }", 1400) + "\n", 94154201}};
  for (const auto& [source, size] : cases) {
    EXPECT_EQ(parse_large(source), std::make_pair("result 0\n"s, size));
  }
  // Each pair of parentheses around a condition adds two spaces and nothing else.
  Outcome parenthesised =
      parse_source(open + "if (" + repeat("(", 100) + "true" + repeat(")", 100) + ") ;\n}\n");
  EXPECT_NE(parenthesised.ast.find("\n" + std::string(210, ' ') + "Btrue\n        ,\n"),
            std::string::npos);
  EXPECT_EQ(parse_source(open + repeat("if (true) ", 2500) + ";\n}\n").log,
            "Error 1: Line 2: parser stack overflow\nresult 2\n");
}

TEST(FrontEndTest, ReportsFileFailures) {
  ScratchDir dir;
  fs::path source = dir / "ok.vrel";
  fs::path output = dir / "out.ast";
  writeFile(source, "m () : proc { }\n");
  writeFile(output, "kept");
  Outcome missing = run_in_child(
      dir, [&] { return vrel_parse_file((dir / "missing.vrel").c_str(), output.c_str()); });
  EXPECT_EQ(missing.log, "Error: cannot open input file: " + (dir / "missing.vrel").string() +
                             "\nresult 10001\n");
  EXPECT_EQ(readFile(output), "kept");

  fs::path unwritable = dir / "no" / "out.ast";
  Outcome no_dir =
      run_in_child(dir, [&] { return vrel_parse_file(source.c_str(), unwritable.c_str()); });
  EXPECT_EQ(no_dir.log,
            "Error: cannot open output file: " + unwritable.string() + "\nresult 10002\n");

  Outcome full = run_in_child(dir, [&] { return vrel_parse_file(source.c_str(), "/dev/full"); });
  EXPECT_EQ(full.log, "Error: cannot write output file: /dev/full\nresult 10002\n");

  Outcome directory =
      run_in_child(dir, [&] { return vrel_parse_file(dir.path().c_str(), output.c_str()); });
  EXPECT_EQ(directory.log, "input in flex scanner failed\nexit 2\n");

  // A failed read leaves nothing open or held: the next call parses, and reuses the descriptors.
  Outcome again = run_in_child(
      dir,
      [&] {
        int free_fd = dup(STDIN_FILENO);
        close(free_fd);
        for (int i = 0; i < 3; ++i) {
          try {
            vrel_parse_file(dir.path().c_str(), output.c_str());
          } catch (const vrel::ExitRequest& request) {
            std::fprintf(stderr, "status %d\n", request.status);
          }
        }
        int result = vrel_parse_file(source.c_str(), output.c_str());
        int next_fd = dup(STDIN_FILENO);
        return next_fd == free_fd ? result : -1;
      },
      output);
  EXPECT_EQ(again.log, repeat("input in flex scanner failed\nstatus 2\n", 3) + "result 0\n");
  EXPECT_EQ(again.ast,
            "Prog(\n  FuncDef(\n    \"m\"\n  ,\n    Rnothing\n  ,\n    []\n  ,\n    []\n  ,\n"
            "    Sblock(\n      []\n    )\n  )\n)\n\n");
}

// The address space this process has mapped now, in bytes.
std::size_t mapped_bytes() {
  std::ifstream statm("/proc/self/statm");
  std::size_t pages = 0;
  statm >> pages;
  return pages * static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
}

// Running out of memory ends the run with "Out of memory" and status 1, and frees what the call
// held: with the memory back, the next call in the same process parses the same source.
TEST(FrontEndTest, EndsWithStatusOneWhenMemoryRunsOut) {
  ScratchDir dir;
  fs::path source = dir / "big.vrel";
  fs::path output = dir / "out.ast";
  // Two million statements need well over the 64 MiB left below.
  writeFile(source,
            "m () : proc {\n" + repeat("{" + repeat("x = 1;\n", 1000) + "}\n", 2000) + "}\n");
  Outcome outcome = run_in_child(dir, [&] {
    rlimit saved;
    getrlimit(RLIMIT_AS, &saved);
    rlimit limit{mapped_bytes() + (std::size_t{64} << 20), saved.rlim_max};
    setrlimit(RLIMIT_AS, &limit);
    try {
      vrel_parse_file(source.c_str(), output.c_str());
    } catch (const vrel::ExitRequest& request) {
      std::fprintf(stderr, "status %d\n", request.status);
    }
    setrlimit(RLIMIT_AS, &saved);
    return vrel_parse_file(source.c_str(), output.c_str());
  });
  EXPECT_EQ(outcome.log, "Out of memory\nstatus 1\nresult 0\n");
}

TEST(FrontEndTest, ReadsStandardInputWhenNoPathIsGiven) {
  ScratchDir dir;
  fs::path source = dir / "in.vrel";
  fs::path output = dir / "out.ast";
  writeFile(source, readFile(kDataDir / "example.vrel"));
  Outcome outcome = run_in_child(
      dir,
      [&] {
        dup2(open(source.c_str(), O_RDONLY), STDIN_FILENO);
        int result = vrel_parse_file(nullptr, output.c_str());
        return fcntl(STDIN_FILENO, F_GETFD) != -1 ? result : -1;  // standard input stays open
      },
      output);
  EXPECT_EQ(outcome.log, "result 0\n");
  EXPECT_EQ(outcome.ast, readFile(kDataDir / "example.ast"));
}

// Tokens and runs far longer than the scanner's first buffer, read from a file and from a pipe
// that delivers the source in small pieces.
TEST(FrontEndTest, ScansTokensLongerThanTheBuffer) {
  const std::string name(3000001, 'n');
  const std::string text(2 << 20, 's');
  EXPECT_EQ(scan(name + " \"" + text + "\" " + std::string(5 << 20, ' ') + "x -- " +
                 std::string(5 << 20, 'c') + "\n(* " + std::string(5 << 20, 'b') + " *)\n@"),
            "268 [" + name + "]\n270 [" + text + "]\n268 [x]\nError 1: Line 3: Illegal token\n" +
                "result 0\n");
  EXPECT_EQ(parse_source(std::string(65542, 'x')).log, "Error 1: Line 1: syntax error\nresult 1\n");
  // Tokens that end just before, at and just after the end of the first read.
  for (std::size_t end = 65530; end < 65542; ++end) {
    SCOPED_TRACE(end);
    EXPECT_EQ(scan(std::string(end - 12, ' ') + "abcdefghij \"\"\n@"),
              "268 [abcdefghij]\n270 []\nError 1: Line 2: Illegal token\nresult 0\n");
  }

  const std::string source = "main () : proc\n  " + name + " : int;\n{\n  " + name + " = 1;\n}\n";
  Outcome from_file = parse_source(source);
  ASSERT_EQ(from_file.log, "result 0\n");
  ScratchDir dir;
  fs::path output = dir / "out.ast";
  Outcome from_pipe = run_in_child(
      dir,
      [&] {
        int fds[2];
        if (pipe(fds) != 0) return -1;
        if (fork() == 0) {
          close(fds[0]);
          for (std::size_t at = 0; at < source.size(); at += 777) {
            std::size_t size = std::min<std::size_t>(777, source.size() - at);
            if (write(fds[1], source.data() + at, size) != static_cast<ssize_t>(size)) _exit(1);
          }
          _exit(0);
        }
        close(fds[1]);
        dup2(fds[0], STDIN_FILENO);
        close(fds[0]);
        return vrel_parse_file(nullptr, output.c_str());
      },
      output);
  EXPECT_EQ(from_pipe.log, "result 0\n");
  EXPECT_TRUE(from_pipe.ast == from_file.ast);
}

// From a terminal the source is read a line at a time: the error in a line is reported as soon as
// that line is entered, while the terminal stays open.
TEST(FrontEndTest, ReportsErrorsAsTerminalLinesAreEntered) {
  ScratchDir dir;
  int terminal = posix_openpt(O_RDWR | O_NOCTTY);
  ASSERT_GE(terminal, 0);
  ASSERT_EQ(grantpt(terminal), 0);
  ASSERT_EQ(unlockpt(terminal), 0);
  std::string line_side = ptsname(terminal);
  int errors[2];
  ASSERT_EQ(pipe(errors), 0);
  pid_t pid = fork();
  if (pid == 0) {
    close(terminal);
    setsid();
    dup2(open(line_side.c_str(), O_RDWR), STDIN_FILENO);
    dup2(errors[1], STDERR_FILENO);
    _exit(vrel_parse_file(nullptr, (dir / "out.ast").c_str()));
  }
  close(errors[1]);
  std::string lines = "main () : proc\n{\n  @\n  y = = 2;\n";
  ASSERT_EQ(write(terminal, lines.data(), lines.size()), static_cast<ssize_t>(lines.size()));
  std::string reported;
  const std::string expected = "Error 1: Line 3: Illegal token\nError 2: Line 4: syntax error\n";
  pollfd ready{errors[0], POLLIN, 0};
  while (reported.size() < expected.size() && poll(&ready, 1, 10000) == 1) {
    char chunk[256];
    ssize_t n = read(errors[0], chunk, sizeof chunk);
    if (n <= 0) break;
    reported.append(chunk, static_cast<std::size_t>(n));
  }
  EXPECT_EQ(reported, expected);
  // The syntax error ends the parse; a child still waiting for input is stopped.
  if (reported != expected) kill(pid, SIGKILL);
  int status = 0;
  waitpid(pid, &status, 0);
  close(terminal);
  close(errors[0]);
  EXPECT_EQ(WEXITSTATUS(status), 1);
}

TEST(FrontEndTest, ContinuesNumberingAcrossCallsUntilReset) {
  ScratchDir dir;
  fs::path source = dir / "bad.vrel";
  fs::path output = dir / "out.ast";
  writeFile(source, "m () : proc {\n@ }\n(* open");
  Outcome outcome = run_in_child(dir, [&] {
    int first = vrel_parse_file(source.c_str(), output.c_str());
    int second = vrel_parse_file(source.c_str(), output.c_str());
    vrel_frontend_reset();
    int third = vrel_parse_file(source.c_str(), output.c_str());
    return first * 100 + second * 10 + third;
  });
  EXPECT_EQ(outcome.log,
            "Error 1: Line 2: Illegal token\nError 2: Line 3: Unfinished comment\n"
            "Error 3: Line 4: Illegal token\nError 4: Line 5: Unfinished comment\n"
            "Error 1: Line 2: Illegal token\nError 2: Line 3: Unfinished comment\nresult 111\n");
}

}  // namespace
