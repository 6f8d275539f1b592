#include "driver/compiler_command.h"

#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "support/compile_error.h"

extern char** environ;

namespace vrel {

namespace {

bool isPlainShellByte(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
         std::string_view("_./-+,=:@%").find(c) != std::string_view::npos;
}

// A relative path that starts with "-" would reach the compiler as an option: "./" keeps it a path.
std::string pathWord(const std::string& path) {
  return shellWord(path.starts_with('-') ? "./" + path : path);
}
// Debug information and gcc's run-time checks, which end the program at the first fault they
// find. The translation checks indexes itself; gcc's check of them, and the columns of the C
// text, would make a debugger stop more than once on a Vrel line.
constexpr const char* kCheckedFlags =
    " -g -gno-column-info -fsanitize=address,undefined -fno-sanitize=bounds"
    " -fno-omit-frame-pointer -fno-sanitize-recover=all";

}  // namespace

std::string shellWord(std::string_view text) {
  if (!text.empty() && std::all_of(text.begin(), text.end(), isPlainShellByte)) {
    return std::string(text);
  }
  std::string word = "'";
  for (char c : text) {
    if (c == '\'') {
      word += "'\\''";
    } else {
      word += c;
    }
  }
  return word + "'";
}

std::string compilerCommand(const Options& options, const std::string& cPath) {
  std::string command = options.gccPath.value_or("gcc");
  if (options.outputFile) command += " -o " + pathWord(*options.outputFile);
  command += " -w -std=gnu99";
  if (options.checked) command += kCheckedFlags;
  command += options.gccFlags;
  command += " " + pathWord(cPath);
  return command;
}

int runShellCommand(const std::string& command) {
  // Keeps the order of messages; no output of vrelc's own is pending when a command runs.
  (void)std::fflush(nullptr);
  char shell[] = "/bin/sh";
  char dashC[] = "-c";
  std::string text = command;
  char* argv[] = {shell, dashC, text.data(), nullptr};
  pid_t child = 0;
  if (int error = ::posix_spawn(&child, shell, nullptr, nullptr, argv, environ); error != 0) {
    throw CompileError("cannot run /bin/sh: " + std::string(std::strerror(error)));
  }
  int status = 0;
  while (::waitpid(child, &status, 0) < 0) {
    if (errno != EINTR) {
      throw CompileError("cannot wait for /bin/sh: " + std::string(std::strerror(errno)));
    }
  }
  if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
  return WEXITSTATUS(status);
}

}  // namespace vrel
