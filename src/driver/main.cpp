// The process entry: the one place that turns the outcome of a run into its exit status.
#include <cstdio>
#include <exception>
#include <new>
#include <string>
#include <variant>
#include <vector>

#include "driver/command_line.h"
#include "driver/descriptor_io.h"
#include "driver/pipeline.h"
#include "driver/signal_cleanup.h"
#include "support/compile_error.h"
#include "support/exit_request.h"

namespace {

// The last component of the path the process was started by.
std::string programName(const char* argv0) {
  if (!argv0) return "vrelc";
  std::string path = argv0;
  return path.substr(path.find_last_of('/') + 1);
}

// Standard error is where failures are told: a failure to write there has nowhere to go, here or
// at any other message to it.
void printError(const std::string& text) {
  (void)std::fputs(text.c_str(), stderr);
}

int run(const std::vector<std::string>& arguments) {
  std::variant<vrel::Options, vrel::BadOption> parsed = vrel::parseCommandLine(arguments);
  if (const auto* bad = std::get_if<vrel::BadOption>(&parsed)) {
    printError(vrel::badOptionText(*bad));
    return 1;
  }
  const vrel::Options& options = std::get<vrel::Options>(parsed);
  switch (options.mode) {
    case vrel::Mode::ModeVersion:
      vrel::printStandardOutput(vrel::versionText());
      return 0;
    case vrel::Mode::ModeHelp:
      vrel::printStandardOutput(vrel::helpText());
      return 0;
    default:
      return vrel::runCompiler(options);
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::string program = programName(argc > 0 ? argv[0] : nullptr);
  vrel::installCrashHandlers(program);
  std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
  try {
    return run(arguments);
  } catch (const vrel::ExitRequest& request) {
    return request.status;
  } catch (const vrel::CompileError& e) {
    printError(program + ": " + e.what() + "\n");
    return 1;
  } catch (const std::bad_alloc&) {
    printError(program + ": out of memory\n");
    return 1;
  } catch (const std::exception& e) {
    printError(std::string("Internal error: ") + e.what() + "\n");
    return 2;
  } catch (...) {
    printError("Internal error: unknown exception\n");
    return 2;
  }
}
