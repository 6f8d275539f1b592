#include "frontend/out_of_memory.h"

#include <cstdio>
#include <cstdlib>

namespace vrel::frontend {

void out_of_memory() {
  std::fputs("Out of memory\n", stderr);
  std::exit(1);
}

}  // namespace vrel::frontend
