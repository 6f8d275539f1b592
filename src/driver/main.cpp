#include <cstdio>
#include <new>
#include <string>
#include <vector>

#include "driver/command_line.h"
#include "driver/pipeline.h"
#include "support/compile_error.h"
#include "support/exit_request.h"
#include "support/large_stack.h"

namespace {

// The last component of the path the process was started by.
std::string programName(const char* argv0) {
  if (!argv0) return "vrelc";
  std::string path = argv0;
  return path.substr(path.find_last_of('/') + 1);
}

}  // namespace

int main(int argc, char** argv) {
  std::string program = programName(argc > 0 ? argv[0] : nullptr);
  std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
  try {
    vrel::Options options = vrel::parseCommandLine(arguments);
    vrel::runWithLargeStack([&] { vrel::runCompiler(options); });
  } catch (const vrel::ExitRequest& request) {
    return request.status;
  } catch (const vrel::CompileError& e) {
    std::fputs((program + ": " + e.what() + "\n").c_str(), stderr);
    return 1;
  } catch (const std::bad_alloc&) {
    std::fputs((program + ": out of memory\n").c_str(), stderr);
    return 1;
  }
}
