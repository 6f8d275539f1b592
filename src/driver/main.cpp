#include <cstdio>
#include <string>
#include <vector>

#include "driver/pipeline.h"

int main(int argc, char** argv) {
  std::string program = argc > 0 ? argv[0] : "vrelc";
  std::vector<std::string> args(argv + 1, argv + argc);
  vrel::runCompiler(vrel::Options{}, program);
}
