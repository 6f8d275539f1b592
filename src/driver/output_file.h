// The -o file of -t. A regular file, or one that does not exist yet, is replaced as a whole: the
// C text goes to a new file beside it, which takes the file's name only once every byte is written
// and the new file is closed, so that a failure (a full disk, a signal) leaves the old file as it
// was. Anything else (a link such as /dev/stdout, /dev/null, a FIFO), and a file in a folder that
// takes no new file, is written directly.
#pragma once

#include <string>

#include "driver/temp_files.h"

namespace vrel {

class OutputFile {
 public:
  // Opens the new file ("." + name + ".vrelc-" + number, created exclusively with the mode a
  // plain create gives) or the file itself. Throws CompileError naming the file.
  explicit OutputFile(const std::string& path);
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;
  // Removes the new file unless committed; closes a file written directly.
  ~OutputFile();

  // Where the text goes.
  int fd() const;

  // Closes the file and, for a replacement, renames it over the target. Throws CompileError.
  void commit();

 private:
  bool createReplacement();

  std::string path_;
  TempFile replacement_;
  int directFd_ = -1;
};

}  // namespace vrel
