#include "driver/option_scanner.h"

#include <cstddef>
#include <optional>

#include "driver/usage_text.h"

namespace vrel {
namespace {

bool hasLongName(const OptionDescriptor& option, const std::string& name) {
  for (const std::string& longName : option.longNames) {
    if (longName == name) return true;
  }
  return false;
}

bool hasLongNameStartingWith(const OptionDescriptor& option, const std::string& prefix) {
  for (const std::string& longName : option.longNames) {
    if (longName.starts_with(prefix)) return true;
  }
  return false;
}

// The rows a long option name selects: those named exactly so, or else those whose name it
// abbreviates.
std::vector<OptionDescriptor> longCandidates(const std::string& name) {
  std::vector<OptionDescriptor> exact;
  std::vector<OptionDescriptor> abbreviated;
  for (const OptionDescriptor& option : optionTable()) {
    if (hasLongName(option, name)) exact.push_back(option);
    if (hasLongNameStartingWith(option, name)) abbreviated.push_back(option);
  }
  return exact.empty() ? abbreviated : exact;
}

const OptionDescriptor* shortOption(char letter) {
  for (const OptionDescriptor& option : optionTable()) {
    if (option.shortLetters.find(letter) != std::string::npos) return &option;
  }
  return nullptr;
}

std::string quoted(const std::string& option) {
  return "`" + option + "'";
}

class Scanner {
 public:
  explicit Scanner(const std::vector<std::string>& arguments) : arguments_(arguments) {}

  ScannedArguments run() {
    while (next_ < arguments_.size() && !endOfOptions_) scanArgument(arguments_[next_++]);
    while (next_ < arguments_.size()) result_.nonOptions.push_back(arguments_[next_++]);
    for (const std::string& text : unrecognized_) {
      result_.errors.push_back("unrecognized option " + quoted(text) + "\n");
    }
    return result_;
  }

 private:
  void scanArgument(std::string argument) {
    while (true) {
      if (argument == "--") {
        endOfOptions_ = true;
        return;
      }
      if (argument.starts_with("--")) {
        scanLong(argument);
        return;
      }
      if (argument.size() < 2 || argument[0] != '-') {
        result_.nonOptions.push_back(argument);
        return;
      }
      std::optional<std::string> rest = scanShort(argument);
      if (!rest) return;
      argument = "-" + *rest;
    }
  }

  void scanLong(const std::string& argument) {
    std::string body = argument.substr(2);
    std::size_t equals = body.find('=');
    std::string name = body.substr(0, equals);
    std::optional<std::string> attached;
    if (equals != std::string::npos) attached = body.substr(equals + 1);
    std::string spelled = "--" + name;

    std::vector<OptionDescriptor> candidates = longCandidates(name);
    if (candidates.empty()) {
      unrecognized_.push_back(argument);
    } else if (candidates.size() > 1) {
      result_.errors.push_back(
          formatUsage("option " + quoted(spelled) + " is ambiguous; could be one of:", candidates));
    } else if (const auto* required = std::get_if<RequiredArgument>(&candidates[0].argument)) {
      if (attached) {
        result_.settings.push_back(required->setting(*attached));
      } else {
        takeNextArgument(spelled, *required);
      }
    } else if (attached) {
      result_.errors.push_back("option " + quoted(spelled) + " doesn't allow an argument\n");
    } else {
      result_.settings.push_back(std::get<NoArgument>(candidates[0].argument).setting);
    }
  }

  // Handles the first letter of a cluster; returns the letters still to be scanned as a cluster.
  std::optional<std::string> scanShort(const std::string& argument) {
    char letter = argument[1];
    std::string rest = argument.substr(2);
    std::string spelled = {'-', letter};
    const OptionDescriptor* option = shortOption(letter);
    if (!option) {
      unrecognized_.push_back(spelled);
    } else if (const auto* required = std::get_if<RequiredArgument>(&option->argument)) {
      if (rest.empty()) {
        takeNextArgument(spelled, *required);
      } else {
        result_.settings.push_back(required->setting(rest));
      }
      return std::nullopt;
    } else {
      result_.settings.push_back(std::get<NoArgument>(option->argument).setting);
    }
    if (rest.empty()) return std::nullopt;
    return rest;
  }

  void takeNextArgument(const std::string& spelled, const RequiredArgument& required) {
    if (next_ < arguments_.size()) {
      result_.settings.push_back(required.setting(arguments_[next_++]));
    } else {
      result_.errors.push_back("option " + quoted(spelled) + " requires an argument " +
                               required.name + "\n");
    }
  }

  const std::vector<std::string>& arguments_;
  std::size_t next_ = 0;
  bool endOfOptions_ = false;
  ScannedArguments result_;
  std::vector<std::string> unrecognized_;
};

}  // namespace

ScannedArguments scanArguments(const std::vector<std::string>& arguments) {
  return Scanner(arguments).run();
}

}  // namespace vrel
