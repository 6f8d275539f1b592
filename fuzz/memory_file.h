// An anonymous in-memory file with a path, for fuzz targets that drive code which opens files by
// name: no disk traffic and nothing left behind.
#pragma once

#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdlib>
#include <string>

namespace vrel::fuzz {

class MemoryFile {
 public:
  explicit MemoryFile(const char* name) : fd_(::memfd_create(name, 0)) {
    if (fd_ < 0) std::abort();
    path_ = "/proc/self/fd/" + std::to_string(fd_);
  }
  MemoryFile(const MemoryFile&) = delete;
  MemoryFile& operator=(const MemoryFile&) = delete;
  ~MemoryFile() { ::close(fd_); }

  int fd() const { return fd_; }
  const char* path() const { return path_.c_str(); }

  // Empties the file; writes through the descriptor start again at its beginning.
  void clear() {
    if (::ftruncate(fd_, 0) != 0 || ::lseek(fd_, 0, SEEK_SET) != 0) std::abort();
  }

  // Replaces the content with `size` bytes from `data`.
  void assign(const void* data, std::size_t size) {
    clear();
    const char* bytes = static_cast<const char*>(data);
    for (std::size_t done = 0; done < size;) {
      ssize_t n = ::pwrite(fd_, bytes + done, size - done, static_cast<off_t>(done));
      if (n <= 0) std::abort();
      done += static_cast<std::size_t>(n);
    }
  }

  // The whole content.
  std::string content() const {
    std::string text;
    char chunk[65536];
    for (off_t offset = 0;;) {
      ssize_t n = ::pread(fd_, chunk, sizeof chunk, offset);
      if (n < 0) std::abort();
      if (n == 0) return text;
      text.append(chunk, static_cast<std::size_t>(n));
      offset += n;
    }
  }

 private:
  int fd_;
  std::string path_;
};

}  // namespace vrel::fuzz
