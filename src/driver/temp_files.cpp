#include "driver/temp_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "driver/signal_cleanup.h"
#include "support/compile_error.h"

namespace vrel {

namespace {

// Draws a taken name this many times in a row before giving up on the directory.
constexpr int kMaxAttempts = 1000;

// Keeps the descriptor clear of 0, 1 and 2, so that a standard stream closed at start never
// becomes a temporary file.
int aboveStandardStreams(int fd) {
  if (fd > STDERR_FILENO) return fd;
  int moved = ::fcntl(fd, F_DUPFD_CLOEXEC, STDERR_FILENO + 1);
  int error = errno;
  ::close(fd);
  errno = error;
  return moved;
}

}  // namespace

std::string temporaryDirectory() {
  const char* dir = std::getenv("TMPDIR");
  return dir ? dir : "/tmp";
}

std::string joinPath(std::string_view dir, std::string_view name) {
  std::string path(dir);
  if (!dir.empty() && dir.back() != '/' && dir.back() != '\\') path += '/';
  path += name;
  return path;
}

std::mt19937::result_type RunNumbers::clockSeed() {
  auto ticks = static_cast<std::uint64_t>(
      std::chrono::high_resolution_clock::now().time_since_epoch().count());
  return static_cast<std::mt19937::result_type>(ticks ^ (ticks >> 32));
}

TempFile::~TempFile() {
  discard();
}

TempFile::Creation TempFile::create(std::string path) {
  path_ = std::move(path);
  CleanupSignalsBlocked blocked;
  int fd = ::open(path_.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (fd >= 0) fd = aboveStandardStreams(fd);
  struct stat info {};
  if (fd >= 0 && ::fstat(fd, &info) != 0) {
    int error = errno;
    ::close(fd);
    ::unlink(path_.c_str());
    errno = error;
    fd = -1;
  }
  if (fd < 0) {
    createError_ = errno;
    return errno == EEXIST ? Creation::Exists : Creation::Failed;
  }
  registerForCleanup(path_.c_str());
  fd_ = fd;
  held_ = true;
  device_ = info.st_dev;
  inode_ = info.st_ino;
  return Creation::Created;
}

void TempFile::discard() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  if (!held_) return;
  CleanupSignalsBlocked blocked;
  unregisterFromCleanup(path_.c_str());
  ::unlink(path_.c_str());
  held_ = false;
}

int TempFile::writableFd() const {
  if (fd_ < 0) failOnFile("open", path_, createError_, " for writing");
  return fd_;
}

void TempFile::checkName() const {
  struct stat info {};
  if (::lstat(path_.c_str(), &info) != 0 || !S_ISREG(info.st_mode) || info.st_dev != device_ ||
      info.st_ino != inode_) {
    throw CompileError("temporary file " + path_ + " was removed or replaced by another file");
  }
}

void TempFile::close() {
  if (fd_ < 0) return;
  int result = ::close(fd_);
  fd_ = -1;
  if (result != 0 && errno != EINTR) failOnFile("write", path_, errno);
}

void TempFile::remove() {
  close();
  if (!held_) return;
  CleanupSignalsBlocked blocked;
  unregisterFromCleanup(path_.c_str());
  held_ = false;
  if (::unlink(path_.c_str()) != 0) failOnFile("remove", path_, errno);
}

void TempFile::keep() {
  close();
  CleanupSignalsBlocked blocked;
  unregisterFromCleanup(path_.c_str());
  held_ = false;
}

TempFiles::TempFiles(const std::string& dir, bool withCFile,
                     const std::function<int()>& drawRunNumber) {
  installCleanupHandlers();
  for (int attempt = 0; attempt < kMaxAttempts; ++attempt) {
    std::string stem = "vrelhs_" + std::to_string(drawRunNumber());
    TempFile::Creation ast = ast_.create(joinPath(dir, stem + ".ast"));
    if (ast == TempFile::Creation::Exists) continue;
    if (ast == TempFile::Creation::Failed || !withCFile) return;
    if (c_.create(joinPath(dir, stem + ".c")) != TempFile::Creation::Exists) return;
    ast_.discard();
  }
  throw CompileError("cannot create a temporary file in " + (dir.empty() ? "." : dir) +
                     ": every name tried is taken");
}

}  // namespace vrel
