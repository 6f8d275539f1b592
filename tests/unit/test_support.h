// Helpers shared by the unit tests.
#pragma once

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "support/compile_error.h"

namespace vrel::test {

// The message of the CompileError that `f` throws, or "no error".
template <class F>
std::string errorOf(F&& f) {
  try {
    f();
  } catch (const CompileError& e) {
    return e.what();
  }
  return "no error";
}

// The whole content of a file, bytes unchanged.
inline std::string readFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace vrel::test
