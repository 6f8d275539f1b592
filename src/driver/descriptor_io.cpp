#include "driver/descriptor_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "support/compile_error.h"

namespace vrel {

namespace {

// Writes every byte or returns false with errno set. A write of 2 MiB or more can make the kernel
// put the file's pages in huge folios, which cost several times as much to come by as small ones:
// large texts go out a block at a time.
bool writeAll(int fd, const char* bytes, std::size_t count) {
  while (count > 0) {
    ssize_t written = ::write(fd, bytes, std::min(count, DescriptorWriter::kBlockBytes));
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) {
      if (written == 0) errno = EIO;
      return false;
    }
    bytes += written;
    count -= static_cast<std::size_t>(written);
  }
  return true;
}

// Reads up to `count` bytes at `offset`; 0 at the end of the file.
std::size_t readAt(int fd, char* bytes, std::size_t count, off_t offset, const std::string& path) {
  for (;;) {
    ssize_t got = ::pread(fd, bytes, count, offset);
    if (got >= 0) return static_cast<std::size_t>(got);
    if (errno != EINTR) failOnFile("read", path, errno);
  }
}

}  // namespace

DescriptorWriter::DescriptorWriter(int fd, std::string name)
    : fd_(fd), name_(std::move(name)), buffer_(new char[kBlockBytes]) {
  setp(buffer_.get(), buffer_.get() + kBlockBytes);
}

void DescriptorWriter::write(std::string_view bytes) {
  if (xsputn(bytes.data(), static_cast<std::streamsize>(bytes.size())) !=
      static_cast<std::streamsize>(bytes.size())) {
    failed();
  }
}

void DescriptorWriter::copyFrom(int fd, const std::string& path) {
  if (!flushBuffer()) failed();
  off_t offset = 0;
  while (std::size_t got = readAt(fd, buffer_.get(), kBlockBytes, offset, path)) {
    if (!writeAll(fd_, buffer_.get(), got)) {
      error_ = errno;
      failed();
    }
    offset += static_cast<off_t>(got);
  }
}

void DescriptorWriter::finish() {
  if (!flushBuffer()) failed();
}

void DescriptorWriter::close() {
  finish();
  int result = ::close(fd_);
  if (result != 0 && errno != EINTR) {
    error_ = errno;
    failed();
  }
}

DescriptorWriter::int_type DescriptorWriter::overflow(int_type ch) {
  if (!flushBuffer()) return traits_type::eof();
  if (traits_type::eq_int_type(ch, traits_type::eof())) return traits_type::not_eof(ch);
  *pptr() = traits_type::to_char_type(ch);
  pbump(1);
  return ch;
}

std::streamsize DescriptorWriter::xsputn(const char* bytes, std::streamsize count) {
  auto size = static_cast<std::size_t>(count);
  if (size > static_cast<std::size_t>(epptr() - pptr())) {
    if (!flushBuffer()) return 0;
    if (size >= kBlockBytes) {
      if (writeAll(fd_, bytes, size)) return count;
      error_ = errno;
      return 0;
    }
  }
  std::memcpy(pptr(), bytes, size);
  pbump(static_cast<int>(size));
  return count;
}

int DescriptorWriter::sync() {
  return flushBuffer() ? 0 : -1;
}

bool DescriptorWriter::flushBuffer() {
  if (error_ != 0) return false;
  if (!writeAll(fd_, pbase(), static_cast<std::size_t>(pptr() - pbase()))) error_ = errno;
  setp(buffer_.get(), buffer_.get() + kBlockBytes);
  return error_ == 0;
}

void DescriptorWriter::failed() const {
  failOnFile("write", name_, error_);
}

void printStandardOutput(std::string_view text) {
  DescriptorWriter out = standardOutput();
  out.write(text);
  out.close();
}

DescriptorWriter standardOutput() {
  return DescriptorWriter(STDOUT_FILENO, "standard output");
}

std::size_t DescriptorSource::read(char* buffer, std::size_t capacity) {
  std::size_t got = readAt(fd_, buffer, capacity, offset_, path_);
  offset_ += static_cast<off_t>(got);
  return got;
}

int openForWriting(const std::string& path) {
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) failOnFile("open", path, errno, " for writing");
  return fd;
}

bool isSameFile(const std::string& first, const std::string& second) {
  struct stat a {};
  struct stat b {};
  return ::stat(first.c_str(), &a) == 0 && ::stat(second.c_str(), &b) == 0 &&
         a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

}  // namespace vrel
