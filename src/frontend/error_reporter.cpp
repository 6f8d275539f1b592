#include "frontend/error_reporter.h"

#include <cstdio>

namespace vrel::frontend {

int line_number = 1;
int error_count = 0;

void report_error(const char* message) {
  ++error_count;
  std::fprintf(stderr, "Error %d: Line %d: %s\n", error_count, line_number, message);
}

}  // namespace vrel::frontend
