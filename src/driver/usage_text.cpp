#include "driver/usage_text.h"

#include <algorithm>
#include <cstddef>

namespace vrel {
namespace {

struct UsageRow {
  std::string shortCell;
  std::string longCell;
  std::string description;
};

std::string join(const std::vector<std::string>& parts) {
  std::string joined;
  for (const std::string& part : parts) {
    if (!joined.empty()) joined += ", ";
    joined += part;
  }
  return joined;
}

const RequiredArgument* requiredArgument(const OptionDescriptor& option) {
  return std::get_if<RequiredArgument>(&option.argument);
}

std::string shortCell(const OptionDescriptor& option) {
  const RequiredArgument* argument = requiredArgument(option);
  std::vector<std::string> forms;
  for (char letter : option.shortLetters) {
    std::string form = {'-', letter};
    if (argument) form += " " + argument->name;
    forms.push_back(form);
  }
  return join(forms);
}

std::string longCell(const OptionDescriptor& option) {
  const RequiredArgument* argument = requiredArgument(option);
  std::vector<std::string> forms;
  for (const std::string& name : option.longNames) {
    std::string form = "--" + name;
    if (argument) form += "=" + argument->name;
    forms.push_back(form);
  }
  return join(forms);
}

std::string padded(const std::string& cell, std::size_t width) {
  return cell + std::string(width - cell.size(), ' ');
}

}  // namespace

std::string formatUsage(std::string_view header, const std::vector<OptionDescriptor>& rows) {
  std::vector<UsageRow> cells;
  std::size_t shortWidth = 0;
  std::size_t longWidth = 0;
  for (const OptionDescriptor& option : rows) {
    cells.push_back({shortCell(option), longCell(option), option.description});
    shortWidth = std::max(shortWidth, cells.back().shortCell.size());
    longWidth = std::max(longWidth, cells.back().longCell.size());
  }
  std::string text(header);
  text += '\n';
  for (const UsageRow& row : cells) {
    text += "  " + padded(row.shortCell, shortWidth) + "  " + padded(row.longCell, longWidth) +
            "  " + row.description + "\n";
  }
  return text;
}

}  // namespace vrel
