#include "driver/command_line.h"

#include "driver/option_scanner.h"
#include "driver/usage_text.h"
#include "driver/version.h"
#include "support/overloaded.h"

namespace vrel {
namespace {

constexpr const char* kVersion = VRELC_VERSION;

void applySetting(Options& options, const OptionSetting& setting) {
  std::visit(Overloaded{
                 [&](const SetMode& s) { options.mode = s.mode; },
                 [&](const SetVerbosity& s) { options.verbosity = s.verbosity; },
                 [&](const SetOutput& s) { options.outputFile = s.file; },
                 [&](const SetGcc& s) { options.gccPath = s.path; },
                 [&](const SetGccFlags& s) { options.gccFlags = " " + s.flags; },
                 [&](const SetChecked&) { options.checked = true; },
             },
             setting);
}

std::string concatenated(const std::vector<std::string>& messages) {
  std::string text;
  for (const std::string& message : messages) text += message;
  return text;
}

}  // namespace

Options foldSettings(const std::vector<OptionSetting>& settings) {
  Options options;
  for (const OptionSetting& setting : settings) applySetting(options, setting);
  return options;
}

std::variant<Options, BadOption> parseCommandLine(const std::vector<std::string>& arguments) {
  ScannedArguments scanned = scanArguments(arguments);
  if (!scanned.errors.empty()) return BadOption{concatenated(scanned.errors)};
  Options options = foldSettings(scanned.settings);
  if (scanned.nonOptions.size() > 1) return BadOption{"no more than one file can be specified."};
  if (scanned.nonOptions.size() == 1) options.inputFile = scanned.nonOptions.front();
  return options;
}

std::string helpText() {
  return formatUsage("Usage: vrelc [options] [file]\n\nOptions:", optionTable()) + "\n" +
         "This program is meant to do absolutely nothing.\n"
         "However, due to a serious bug in its source code,\n"
         "it appears to function as a compiler for Vrel programs.\n"
         "Please, keep this in mind when you use it...\n";
}

std::string versionText() {
  return std::string("Vrel compiler, version ") + kVersion + "\n";
}

std::string badOptionText(const BadOption& bad) {
  return "Bad option: " + bad.message + "\nTry -h for help.\n";
}

}  // namespace vrel
