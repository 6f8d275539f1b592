// The process entry: the one place that turns the outcome of a run into its exit status.
#include <cstdio>
#include <exception>
#include <new>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "ast/reader.h"
#include "driver/command_line.h"
#include "driver/descriptor_io.h"
#include "driver/error_location.h"
#include "driver/pipeline.h"
#include "support/compile_error.h"
#include "support/diagnostics.h"
#include "support/exit_request.h"

namespace {

// The last component of the path the process was started by.
std::string programName(const char* argv0) {
  if (!argv0) return "vrelc";
  std::string path = argv0;
  return path.substr(path.find_last_of('/') + 1);
}

int run(const std::vector<std::string>& arguments, const std::string& program) {
  std::variant<vrel::Options, vrel::BadOption> parsed = vrel::parseCommandLine(arguments);
  if (const auto* bad = std::get_if<vrel::BadOption>(&parsed)) {
    vrel::Diagnostics::forStandardError(nullptr).write(vrel::badOptionText(*bad));
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
      break;
  }
  const char* input = options.inputFile ? options.inputFile->c_str() : nullptr;
  vrel::Diagnostics diagnostics = vrel::Diagnostics::forStandardError(input);
  try {
    return vrel::runCompiler(options, diagnostics);
  } catch (const vrel::CompileError& e) {
    std::string line = program + ": " + e.what();
    if (e.file()) {
      diagnostics.fileError(line, e.file()->path, e.file()->reason);
      return 1;
    }
    if (!diagnostics.blocks() || !e.site()) {
      diagnostics.message(line);
      return 1;
    }
    vrel::ErrorPlaces places;
    if (std::optional<std::string> source = vrel::sourceAgain(options.inputFile)) {
      places = vrel::locateError(e, std::move(*source));
    }
    diagnostics.report(line, places.error, places.note);
    return 1;
  } catch (const vrel::ast::NestingTooDeep& e) {
    std::string line = std::string("Internal error: ") + e.what();
    std::optional<vrel::Located> place;
    if (diagnostics.blocks()) {
      if (std::optional<std::string> source = vrel::sourceAgain(options.inputFile)) {
        place = vrel::locateName(e.name(), std::move(*source));
      }
    }
    diagnostics.report(line, place);
    return 2;
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::string program = programName(argc > 0 ? argv[0] : nullptr);
  std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
  vrel::Diagnostics plain("", {});
  try {
    return run(arguments, program);
  } catch (const vrel::ExitRequest& request) {
    return request.status;
  } catch (const vrel::CompileError& e) {
    plain.message(program + ": " + e.what());
    return 1;
  } catch (const std::bad_alloc&) {
    plain.message(program + ": out of memory");
    return 1;
  } catch (const std::exception& e) {
    plain.message(std::string("Internal error: ") + e.what());
    return 2;
  } catch (...) {
    plain.message("Internal error: unknown exception");
    return 2;
  }
}
