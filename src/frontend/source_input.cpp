#include "frontend/source_input.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "frontend/error_reporter.h"

namespace vrel::frontend {
namespace {

struct Source {
  int fd = STDIN_FILENO;
  bool owned = false;
  bool terminal = false;
};

Source source;

}  // namespace

bool source_open(const char* path) {
  source = Source{};
  if (path != nullptr) {
    source.fd = ::open(path, O_RDONLY | O_CLOEXEC);
    if (source.fd < 0) {
      source.fd = STDIN_FILENO;
      return false;
    }
    source.owned = true;
  }
  source.terminal = ::isatty(source.fd) == 1;
  return true;
}

std::size_t source_read(char* buf, std::size_t size) {
  std::size_t done = 0;
  while (done < size) {
    ssize_t n = ::read(source.fd, buf + done, size - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      fail("input in flex scanner failed", 2);
    }
    if (n == 0) break;
    done += static_cast<std::size_t>(n);
    // A terminal hands over one line per read; waiting for more would hold back its tokens.
    if (source.terminal) break;
  }
  return done;
}

void source_close() {
  if (source.owned) ::close(source.fd);
  source = Source{};
}

}  // namespace vrel::frontend
