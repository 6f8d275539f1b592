#include "driver/pipeline.h"

#include <cstdio>
#include <cstdlib>

namespace vrel {

void runCompiler(const Options&, const std::string& programName) {
  std::fprintf(stderr, "%s: the compilation pipeline is not built yet\n", programName.c_str());
  std::exit(2);
}

}  // namespace vrel
