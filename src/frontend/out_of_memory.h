// The front end's one reaction to exhausted memory.
#pragma once

namespace vrel::frontend {

// Prints "Out of memory" to standard error and ends the process with status 1.
[[noreturn]] void out_of_memory();

}  // namespace vrel::frontend
