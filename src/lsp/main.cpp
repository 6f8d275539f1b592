// The process entry of the language server: the protocol on standard input and output until
// `exit` or the end of the input.
#include <malloc.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>
#include <string_view>

#include "driver/version.h"
#include "lsp/message_reader.h"
#include "lsp/server.h"
#include "support/large_stack.h"

namespace {

constexpr std::string_view kHelp =
    "Usage: vrel-lsp [--stdio]\n"
    "The Vrel language server: speaks the Language Server Protocol on standard input and\n"
    "output. Editors start it; it is not meant to be run by hand.\n"
    "  --stdio        use standard input and output (the only channel; accepted for clients)\n"
    "  -V, --version  print the version and exit\n"
    "  -h, --help     print this help and exit\n";

// Writes all of `bytes` to standard output; false once it cannot.
bool writeAll(std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t written = write(STDOUT_FILENO, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

int serve() {
  bool broken = false;
  vrel::lsp::Server server([&](std::string_view frame) { broken = broken || !writeAll(frame); });
  vrel::lsp::MessageReader reader;
  std::string buffer(std::size_t{1} << 16, '\0');
  for (;;) {
    ssize_t got = read(STDIN_FILENO, buffer.data(), buffer.size());
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return server.statusAtEndOfInput();
    reader.feed(std::string_view(buffer.data(), static_cast<std::size_t>(got)));
    while (std::optional<vrel::lsp::Frame> frame = reader.next()) {
      server.handle(*frame);
      if (std::optional<int> status = server.exitStatus()) return *status;
      if (broken) return 1;
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    std::string_view argument = argv[i];
    if (argument == "-V" || argument == "--version") {
      std::printf("Vrel language server, version %s\n", VRELC_VERSION);
      return 0;
    }
    if (argument == "-h" || argument == "--help") {
      std::fwrite(kHelp.data(), 1, kHelp.size(), stdout);
      return 0;
    }
    if (argument != "--stdio") {
      std::fprintf(stderr, "Bad option: %s\nTry -h for help.\n", argv[i]);
      return 1;
    }
  }
  // Every change builds and drops a tree as large as the program: memory is kept for the next
  // one rather than handed back to the system and faulted in again.
  mallopt(M_MMAP_THRESHOLD, 256 << 20);
  mallopt(M_TRIM_THRESHOLD, 1 << 30);
  // A client that goes away while a reply is written ends the write, not the process.
  signal(SIGPIPE, SIG_IGN);
  int status = 1;
  vrel::runWithLargeStack([&] { status = serve(); });
  return status;
}
