// -p prints the indented AST text from a file laid out in indentation steps (AstLayout::
// kIndentSteps): each line's leading spaces and tabs become the blanks of its depth as the text
// goes to the output, a block at a time, so that the file stays as long as the flush-left text.
#pragma once

#include <string>

#include "driver/descriptor_io.h"

namespace vrel {

// Appends to `out` the indented text of the file open at `fd` (read from its start), named `path`
// in messages. An empty line stays empty.
void copyIndented(int fd, const std::string& path, DescriptorWriter& out);

}  // namespace vrel
