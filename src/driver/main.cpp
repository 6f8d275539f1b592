#include <vector>

#include "driver/pipeline.h"

int main(int argc, char** argv) { vrel::runCompiler(vrel::Options{}); }
