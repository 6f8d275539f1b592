#include "driver/option_table.h"

namespace vrel {

const std::vector<OptionDescriptor>& optionTable() {
  static const std::vector<OptionDescriptor> table = {
      {"p", {}, NoArgument{SetMode{Mode::ModeAst}}, "Output the AST"},
      {"t", {}, NoArgument{SetMode{Mode::ModeC}}, "Translate to C99 with GCC extensions"},
      {"g",
       {},
       NoArgument{SetChecked{}},
       "Checked build: run-time checks, Vrel lines for debuggers"},
      {"o",
       {},
       RequiredArgument{"file",
                        [](const std::string& file) -> OptionSetting { return SetOutput{file}; }},
       "Output file"},
      {"",
       {"gcc"},
       RequiredArgument{"file",
                        [](const std::string& path) -> OptionSetting { return SetGcc{path}; }},
       "Full path and file name for gcc compiler"},
      {"",
       {"gcc-flags"},
       RequiredArgument{
           "flags", [](const std::string& flags) -> OptionSetting { return SetGccFlags{flags}; }},
       "Flags to be passed to gcc"},
      {"v", {}, NoArgument{SetVerbosity{Verbosity::VerbVerbose}}, "Verbose"},
      {"q", {}, NoArgument{SetVerbosity{Verbosity::VerbQuiet}}, "Quiet"},
      {"V", {"version"}, NoArgument{SetMode{Mode::ModeVersion}}, "Print compiler version and exit"},
      {"h", {"help"}, NoArgument{SetMode{Mode::ModeHelp}}, "Display this list of options"},
  };
  return table;
}

}  // namespace vrel
