#include "frontend/source_input.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "frontend/error_reporter.h"
#include "support/source_text.h"

namespace vrel::frontend {
namespace {

struct Source {
  int fd = STDIN_FILENO;
  bool owned = false;
  bool terminal = false;
  bool regular = false;  // its lines can be read again by offset
  bool keep = false;
  const char* path = nullptr;
  bool in_memory = false;
  std::string_view memory;  // the whole text of a source in memory
  std::size_t memory_read = 0;
};

Source source;
// What was read of a source that cannot be read again; it outlives the call, for the driver.
std::string kept;

// A line longer than this is shown in part: this many bytes on each side of the place.
constexpr std::uint64_t kLineWindow = 512;

}  // namespace

bool source_open(const char* path, bool keep) {
  source = Source{};
  kept.clear();
  source.path = path;
  if (path != nullptr) {
    source.fd = ::open(path, O_RDONLY | O_CLOEXEC);
    if (source.fd < 0) {
      source.fd = STDIN_FILENO;
      return false;
    }
    source.owned = true;
  }
  struct stat status {};
  source.regular = ::fstat(source.fd, &status) == 0 && S_ISREG(status.st_mode);
  source.keep = keep && (path == nullptr || !source.regular);
  source.terminal = ::isatty(source.fd) == 1;
  return true;
}

void source_open_memory(std::string_view text) {
  source = Source{};
  kept.clear();
  source.fd = -1;
  source.memory = text;
  source.in_memory = true;
}

std::size_t source_read(char* buf, std::size_t size) {
  if (source.in_memory) {
    std::size_t n = std::min(size, source.memory.size() - source.memory_read);
    std::memcpy(buf, source.memory.data() + source.memory_read, n);
    source.memory_read += n;
    return n;
  }
  std::size_t done = 0;
  while (done < size) {
    ssize_t n = ::read(source.fd, buf + done, size - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      fail_reading("input in flex scanner failed", errno);
    }
    if (n == 0) break;
    done += static_cast<std::size_t>(n);
    // A terminal hands over one line per read; waiting for more would hold back its tokens.
    if (source.terminal) break;
  }
  if (source.keep) kept.append(buf, done);
  return done;
}

void source_close() {
  if (source.owned) ::close(source.fd);
  source.fd = STDIN_FILENO;
  source.owned = false;
}

const char* source_name() {
  return source.path != nullptr ? source.path : "<stdin>";
}

std::uint64_t source_line(std::uint64_t line_start, std::uint64_t around, std::string& text) {
  std::uint64_t from = line_start;
  if (around > line_start + kLineWindow) from = around - kLineWindow;
  std::uint64_t size = around - from + kLineWindow;
  text.clear();
  if (source.in_memory || source.keep) {
    std::string_view all = source.in_memory ? source.memory : std::string_view(kept);
    if (from < all.size()) text.assign(all.substr(from, size));
  } else if (source.regular && source.fd >= 0) {
    text.resize(size);
    ssize_t n = ::pread(source.fd, text.data(), size, static_cast<off_t>(from));
    text.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
  }
  text.assign(lineAt(text, 0));
  return from - line_start + 1;
}

std::string source_kept() {
  return kept;
}

}  // namespace vrel::frontend
