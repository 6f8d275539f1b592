#include "frontend/error_reporter.h"

#include <cinttypes>
#include <cstdio>

#include "support/exit_request.h"

namespace vrel::frontend {

std::int64_t line_number = 1;
std::int64_t error_count = 0;

void report_error(const char* message) {
  ++error_count;
  (void)std::fprintf(stderr, "Error %" PRId64 ": Line %" PRId64 ": %s\n", error_count, line_number,
                     message);
}

void fail(const char* message, int status) {
  (void)std::fprintf(stderr, "%s\n", message);
  throw ExitRequest{status};
}

}  // namespace vrel::frontend
