// Matches command-line arguments against the option table.
#pragma once

#include <string>
#include <vector>

#include "driver/option_table.h"

namespace vrel {

struct ScannedArguments {
  std::vector<OptionSetting> settings;  // recognised options, in argument order
  std::vector<std::string> nonOptions;  // in argument order
  std::vector<std::string> errors;      // each message ends in a newline
};

// Scans `arguments` (without the program name) from left to right. Options and non-options may
// be mixed; after "--" everything is a non-option. Long options may be abbreviated as long as the
// abbreviation is unambiguous and take their argument after "=" or as the next argument; short
// options may be clustered (-qp) and take their argument from the rest of the cluster or the next
// argument. The errors hold the ambiguous, missing and unwanted argument messages in argument
// order, followed by the unrecognised-option messages in argument order.
ScannedArguments scanArguments(const std::vector<std::string>& arguments);

}  // namespace vrel
