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

// Scans, folds and applies the file rule, without printing. A scanner error or more than one
// non-option argument rejects the command line whatever mode it asks for.
std::variant<Options, BadOption> parseCommandLine(const std::vector<std::string>& arguments);

// "Bad option: ", the message, a newline and the hint to try -h, for standard error.
std::string badOptionText(const BadOption& bad);

// "Usage: ...", the option table, an empty line and the closing remarks.
std::string helpText();
std::string versionText();

}  // namespace vrel
