// Lays out option descriptors as a three-column table under a header.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "driver/option_table.h"

namespace vrel {

// The header, a newline, then one line per row: two spaces, the short forms, two spaces, the long
// forms, two spaces and the description, the first two columns padded to their widest cell.
std::string formatUsage(std::string_view header, const std::vector<OptionDescriptor>& rows);

}  // namespace vrel
