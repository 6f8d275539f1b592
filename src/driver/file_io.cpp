#include "driver/file_io.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>

#include "support/compile_error.h"

namespace vrel {

namespace {

[[noreturn]] void fail(const std::string& operation, const std::string& what) {
  std::string message = "cannot " + operation + " " + what;
  if (errno != 0) message += ": " + std::string(std::strerror(errno));
  throw CompileError(message);
}

}  // namespace

std::string readWholeFile(const std::string& path) {
  errno = 0;
  std::FILE* in = std::fopen(path.c_str(), "rb");
  if (!in) fail("open", path + " for reading");
  std::string text;
  struct stat info {};
  if (::fstat(::fileno(in), &info) == 0 && info.st_size > 0) text.reserve(info.st_size);
  char chunk[1 << 16];
  for (std::size_t got; (got = std::fread(chunk, 1, sizeof chunk, in)) > 0;)
    text.append(chunk, got);
  bool readFailed = std::ferror(in);
  std::fclose(in);
  if (readFailed) fail("read", path);
  return text;
}

std::ofstream openForWriting(const std::string& path) {
  errno = 0;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) fail("open", path + " for writing");
  return out;
}

void closeWritten(std::ofstream& out, const std::string& path) {
  errno = 0;
  bool written = out.good();
  out.close();
  if (!written || out.fail()) fail("write", path);
}

void removeFile(const std::string& path) {
  errno = 0;
  if (std::remove(path.c_str()) != 0) fail("remove", path);
}

void writeStandardOutput(std::string_view text) {
  errno = 0;
  if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size()) {
    fail("write", "standard output");
  }
}

void closeStandardOutput() {
  errno = 0;
  std::cout.flush();
  bool written = std::cout.good() && std::fflush(stdout) == 0 && !std::ferror(stdout);
  if (std::fclose(stdout) != 0 || !written) fail("write", "standard output");
}

bool isSameFile(const std::string& first, const std::string& second) {
  struct stat a {};
  struct stat b {};
  return ::stat(first.c_str(), &a) == 0 && ::stat(second.c_str(), &b) == 0 &&
         a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

}  // namespace vrel
