// The settings of one run, as the command line leaves them.
#pragma once

#include <optional>
#include <string>

namespace vrel {

enum class Mode { ModeAst, ModeC, ModeExec, ModeVersion, ModeHelp };
enum class Verbosity { VerbNormal, VerbQuiet, VerbVerbose };

struct Options {
  Mode mode = Mode::ModeExec;
  Verbosity verbosity = Verbosity::VerbNormal;  // recorded; nothing reads it
  std::optional<std::string> inputFile;         // none: standard input
  std::optional<std::string> outputFile;
  std::optional<std::string> gccPath;  // none: the command "gcc"
  std::string gccFlags;                // empty, or a space and the last --gcc-flags value
  bool checked = false;                // -g: run-time checks and Vrel lines in the C text
  bool operator==(const Options&) const = default;
};

}  // namespace vrel
