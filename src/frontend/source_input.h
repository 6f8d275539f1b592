// The source of the current call, read through its descriptor for the scanner.
#pragma once

#include <cstddef>

namespace vrel::frontend {

// Opens `path` for reading, or takes standard input when it is null; false if it cannot be opened.
bool source_open(const char* path);
// Reads into `buf`: from a terminal one line as it is entered, from anything else until `size`
// bytes are in or the input ends. Returns the number of bytes read, 0 at the end of the input.
// A failed read ends the run with "input in flex scanner failed".
std::size_t source_read(char* buf, std::size_t size);
// Closes the source if source_open opened it; standard input stays open.
void source_close();

}  // namespace vrel::frontend
