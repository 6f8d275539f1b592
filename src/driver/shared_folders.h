// The compiler opens the C file by its name, so the name must lead to the file vrelc wrote until
// the compiler has read it. Another user can rename an entry of a folder they may write to, unless
// the folder has the sticky bit; and renaming any folder on the way renames everything below it.
#pragma once

#include <optional>
#include <string>

namespace vrel {

// The first folder on the way to `dir` (an empty `dir` is the current folder), from the root
// down, as written and as resolved through links, that group or others may write to and that
// has no sticky bit; nothing when there is none.
std::optional<std::string> sharedFolderAbove(const std::string& dir);

// Throws CompileError when sharedFolderAbove(`dir`) finds a folder.
void requireNamesOfOurOwn(const std::string& dir);

}  // namespace vrel
