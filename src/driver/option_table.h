// The options vrelc accepts: what each one is called, what it takes and what it sets.
#pragma once

#include <string>
#include <variant>
#include <vector>

#include "driver/options.h"

namespace vrel {

struct SetMode {
  Mode mode;
  bool operator==(const SetMode&) const = default;
};
struct SetVerbosity {
  Verbosity verbosity;
  bool operator==(const SetVerbosity&) const = default;
};
struct SetOutput {
  std::string file;
  bool operator==(const SetOutput&) const = default;
};
struct SetGcc {
  std::string path;
  bool operator==(const SetGcc&) const = default;
};
struct SetGccFlags {
  std::string flags;
  bool operator==(const SetGccFlags&) const = default;
};

struct SetChecked {
  bool operator==(const SetChecked&) const = default;
};

// What one recognised option contributes to the Options of a run.
using OptionSetting =
    std::variant<SetMode, SetVerbosity, SetOutput, SetGcc, SetGccFlags, SetChecked>;

// An option that stands alone and always yields the same setting.
struct NoArgument {
  OptionSetting setting;
};

// An option that takes one argument; `name` stands for it in messages and in the usage text.
struct RequiredArgument {
  std::string name;
  OptionSetting (*setting)(const std::string& argument);
};

using ArgumentKind = std::variant<NoArgument, RequiredArgument>;

struct OptionDescriptor {
  std::string shortLetters;            // each character is one short form, e.g. 'V' for -V
  std::vector<std::string> longNames;  // without the leading "--"
  ArgumentKind argument;
  std::string description;
};

// The table in its fixed order, which is also the order of the help text and of the candidates
// listed for an ambiguous long option.
const std::vector<OptionDescriptor>& optionTable();

}  // namespace vrel
