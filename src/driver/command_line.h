// Turns the argument list of `vrelc [options] [file]` into the Options of one run.
#pragma once

#include <string>
#include <variant>
#include <vector>

#include "driver/option_table.h"
#include "driver/options.h"

namespace vrel {

// The message of a rejected command line, without "Bad option: " and the hint that follow it.
struct BadOption {
  std::string message;
  bool operator==(const BadOption&) const = default;
};

// Applies the settings in order to the default Options; the last setting of a field wins.
Options foldSettings(const std::vector<OptionSetting>& settings);

// Scans, folds and applies the file rule, without printing or exiting. A scanner error or more
// than one non-option argument rejects the command line whatever mode it asks for.
std::variant<Options, BadOption> interpretCommandLine(const std::vector<std::string>& arguments);

// "Usage: ...", the option table, an empty line and the closing remarks.
std::string helpText();
std::string versionText();

// Writes "Bad option: ", the message and the hint to try -h to standard error; exits with 1.
[[noreturn]] void reportBadOption(const std::string& message);

// Returns the Options of a compiling run. A bad command line ends the process through
// reportBadOption; the version and help requests print their text and exit with 0, or throw
// CompileError if standard output cannot take it.
Options parseCommandLine(const std::vector<std::string>& arguments);

}  // namespace vrel
