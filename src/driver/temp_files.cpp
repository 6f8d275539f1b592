#include "driver/temp_files.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>

#include "support/compile_error.h"

namespace vrel {

namespace {

// Draws a taken name this many times in a row before giving up on the directory.
constexpr int kMaxAttempts = 1000;

enum class Creation { Created, Exists, Failed };

Creation createExclusively(const std::string& path) {
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (fd >= 0) {
    ::close(fd);
    return Creation::Created;
  }
  return errno == EEXIST ? Creation::Exists : Creation::Failed;
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

RunNumbers::RunNumbers() {
  auto ticks = std::chrono::high_resolution_clock::now().time_since_epoch().count();
  std::seed_seq seed{static_cast<unsigned>(ticks), static_cast<unsigned>(ticks >> 32)};
  engine_.seed(seed);
}

TempFiles reserveTempFiles(const std::string& dir, bool withCFile,
                           const std::function<int()>& drawRunNumber) {
  for (int attempt = 0; attempt < kMaxAttempts; ++attempt) {
    std::string stem = "vrelhs_" + std::to_string(drawRunNumber());
    TempFiles files{joinPath(dir, stem + ".ast"), withCFile ? joinPath(dir, stem + ".c") : ""};
    Creation ast = createExclusively(files.astPath);
    if (ast == Creation::Exists) continue;
    files.astReserved = ast == Creation::Created;
    if (!files.astReserved || !withCFile) return files;
    Creation c = createExclusively(files.cPath);
    if (c == Creation::Exists) {
      releaseReservation(files.astPath);
      continue;
    }
    files.cReserved = c == Creation::Created;
    return files;
  }
  throw CompileError("cannot create a temporary file in " + (dir.empty() ? "." : dir) +
                     ": every name tried is taken");
}

void releaseReservation(const std::string& path) {
  ::unlink(path.c_str());
}

}  // namespace vrel
