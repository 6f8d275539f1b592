// The driver's reads and writes, all through descriptors and in large blocks. Every failure,
// a full disk on write or close included, throws CompileError naming the file and the operation.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <memory>
#include <streambuf>
#include <string>
#include <string_view>

#include "ast/text_scanner.h"
#include "support/write_blocks.h"

namespace vrel {

// Output through a descriptor, buffered in blocks of 1 MiB. It is also the stream buffer of an
// std::ostream for the translation: a failure there is kept and thrown by finish().
class DescriptorWriter : public std::streambuf {
 public:
  static constexpr std::size_t kBlockBytes = kWriteBlockBytes;

  // `name` is the file's path, or "standard output", as messages show it.
  DescriptorWriter(int fd, std::string name);
  DescriptorWriter(const DescriptorWriter&) = delete;
  DescriptorWriter& operator=(const DescriptorWriter&) = delete;

  void write(std::string_view bytes);

  // Writes out what is buffered.
  void finish();

  // Finishes and closes the descriptor; a failed close is a failed write.
  void close();

 protected:
  int_type overflow(int_type ch) override;
  std::streamsize xsputn(const char* bytes, std::streamsize count) override;
  int sync() override;

 private:
  bool flushBuffer();  // false once a write has failed
  [[noreturn]] void failed() const;

  int fd_;
  std::string name_;
  std::unique_ptr<char[]> buffer_;  // kBlockBytes, touched only as far as it is used
  int error_ = 0;                   // errno of the first failed write
};

// Writes `text` to standard output and closes it: the version and help texts.
void printStandardOutput(std::string_view text);

// Standard output as every mode writes it; close() it at the end.
DescriptorWriter standardOutput();

// The content of the file open at `fd`, handed out in blocks from its start; `path` names it.
// The AST text is read this way, so that it is never held whole.
class DescriptorSource : public ast::ByteSource {
 public:
  DescriptorSource(int fd, const std::string& path) : fd_(fd), path_(path) {}
  std::size_t read(char* buffer, std::size_t capacity) override;

 private:
  int fd_;
  std::string path_;
  off_t offset_ = 0;
};

// Opens `path` for writing, creating it or truncating it, and returns the descriptor.
int openForWriting(const std::string& path);

// True when both paths name one existing file (same device and inode).
bool isSameFile(const std::string& first, const std::string& second);

}  // namespace vrel
