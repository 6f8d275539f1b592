#include "driver/output_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "driver/descriptor_io.h"
#include "driver/signal_cleanup.h"
#include "support/compile_error.h"

namespace vrel {
namespace {

constexpr int kMaxAttempts = 1000;

// True when `path` is to be replaced by a new file: a regular file or none. A link, even to a
// regular file, is written through (/dev/stdout is one, to whatever standard output is).
bool replaced(const std::string& path) {
  struct stat info {};
  if (::lstat(path.c_str(), &info) != 0) return errno == ENOENT;
  return S_ISREG(info.st_mode);
}

}  // namespace

OutputFile::OutputFile(const std::string& path) : path_(path) {
  if (!replaced(path) || !createReplacement()) directFd_ = openForWriting(path);
}

// False when the folder takes no new file (a file of one's own in a folder of someone else's):
// the file is then written directly.
bool OutputFile::createReplacement() {
  std::size_t slash = path_.rfind('/');
  std::string dir = slash == std::string::npos ? "" : path_.substr(0, slash + 1);
  std::string name = "." + path_.substr(slash + 1) + ".vrelc-";
  installCleanupHandlers();
  RunNumbers numbers;
  for (int attempt = 0; attempt < kMaxAttempts; ++attempt) {
    TempFile::Creation created =
        replacement_.create(joinPath(dir, name + std::to_string(numbers.next())), 0666);
    if (created != TempFile::Creation::Exists) return created == TempFile::Creation::Created;
  }
  return false;
}

OutputFile::~OutputFile() {
  if (directFd_ >= 0) ::close(directFd_);
}

int OutputFile::fd() const {
  return directFd_ >= 0 ? directFd_ : replacement_.fd();
}

void OutputFile::commit() {
  if (directFd_ < 0) return replacement_.renameTo(path_);
  int result = ::close(directFd_);
  directFd_ = -1;
  if (result != 0 && errno != EINTR) failOnFile("write", path_, errno);
}

}  // namespace vrel
