// Helpers shared by the unit tests.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <system_error>

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

// Writes `text` as the whole content of a file.
inline void writeFile(const std::filesystem::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

// A fresh folder in the temporary folder for one test, removed with its files afterwards.
class ScratchDir {
 public:
  ScratchDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "vrel_test_XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("no scratch folder");
    path_ = pattern;
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  ~ScratchDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }

  const std::string& path() const { return path_; }
  std::string file(const std::string& name) const { return path_ + "/" + name; }
  std::filesystem::path operator/(const std::string& name) const {
    return std::filesystem::path(path_) / name;
  }
  bool empty() const { return std::filesystem::is_empty(path_); }

 private:
  std::string path_;
};

}  // namespace vrel::test
