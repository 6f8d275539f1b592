// The temporary files of one run: "vrelhs_" + run number + ".ast" (and ".c" when an executable is
// built) in the temporary directory, reserved by exclusive creation so that concurrent runs never
// share a name.
#pragma once

#include <functional>
#include <random>
#include <string>
#include <string_view>

namespace vrel {

// TMPDIR when it is set (also when empty), otherwise "/tmp".
std::string temporaryDirectory();

// dir + name with one "/" between them; an empty dir gives the bare name, and a dir ending in
// "/" or a backslash gets no second separator.
std::string joinPath(std::string_view dir, std::string_view name);

// Run numbers drawn uniformly from 0..99999 by a generator seeded from the clock.
class RunNumbers {
 public:
  RunNumbers();
  int next() { return distribution_(engine_); }

 private:
  std::mt19937 engine_;
  std::uniform_int_distribution<int> distribution_{0, 99999};
};

struct TempFiles {
  std::string astPath;
  std::string cPath;         // empty unless an executable is built
  bool astReserved = false;  // the driver created astPath empty
  bool cReserved = false;    // the driver created cPath empty
};

// Creates the AST file (and the C file when `withCFile`) of one run number exclusively, mode
// 0600. A name that exists already releases what was reserved and draws another number. When a
// creation fails for any other reason, that file is left for its writer to open, so that the
// writer reports the failure as its own. Throws CompileError when no free name turns up.
TempFiles reserveTempFiles(const std::string& dir, bool withCFile,
                           const std::function<int()>& drawRunNumber);

// Removes a reservation that will never be written; a file already gone is fine.
void releaseReservation(const std::string& path);

}  // namespace vrel
