// The source of the current call, read through its descriptor (or from memory) for the scanner.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vrel::frontend {

// Opens `path` for reading, or takes standard input when it is null; false if it cannot be
// opened, with the system's error in errno. With `keep`, the bytes read from a source that is
// read again by name (standard input, a pipe) are kept, for source_line and source_kept.
bool source_open(const char* path, bool keep = false);
// Reads from `text`, which must outlive the call.
void source_open_memory(std::string_view text);
// Reads into `buf`: from a terminal one line as it is entered, from anything else until `size`
// bytes are in or the input ends. Returns the number of bytes read, 0 at the end of the input.
// A failed read ends the run with "input in flex scanner failed".
std::size_t source_read(char* buf, std::size_t size);
// Closes the source if source_open opened it; standard input stays open.
void source_close();

// The source as messages name it: its path, or "<stdin>".
const char* source_name();
// Puts into `text` the line that starts at `line_start`, without its line end, as far as it
// can still be read; a long line is cut to a part around `around`. Returns the column (from 1)
// of the part's first byte.
std::uint64_t source_line(std::uint64_t line_start, std::uint64_t around, std::string& text);
// The bytes kept of the source that was read last (see source_open).
std::string source_kept();

}  // namespace vrel::frontend
