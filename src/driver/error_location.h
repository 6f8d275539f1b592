// The location block of an error found after the front end: the source is parsed once more,
// from memory, with the places of its nodes kept, so that a correct program never pays for them.
#pragma once

#include <optional>
#include <string>

#include "support/compile_error.h"
#include "support/source_location.h"

namespace vrel {

// What the block shows for `error`: its place in `source` and the note's, if it has them and
// they can be found.
struct ErrorPlaces {
  std::optional<Located> error;
  std::optional<Located> note;
};
ErrorPlaces locateError(const CompileError& error, std::string source);

// Where the text of `source` nests deeper than the stack allows: at its `name`-th constructor.
std::optional<Located> locateName(std::uint64_t name, std::string source);

// The bytes of the source again: the file `inputFile`, or what the front end kept of standard
// input; nothing when the file cannot be read.
std::optional<std::string> sourceAgain(const std::optional<std::string>& inputFile);

}  // namespace vrel
