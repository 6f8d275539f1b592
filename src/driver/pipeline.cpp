#include "driver/pipeline.h"

#include <cstdio>
#include <cstdlib>

namespace vrel {

void runCompiler(const Options&) {
  std::fputs("vrelc: the compilation pipeline is not built yet\n", stderr);
  std::exit(2);
}

}  // namespace vrel
