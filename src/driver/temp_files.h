// The temporary files of one run: "vrelhs_" + run number + ".ast", and ".c" when C text is staged
// or compiled, in the temporary directory. Each is created exclusively, so that concurrent runs
// never share a name, and is then used only through the descriptor of that creation: a name
// swapped for a link afterwards never redirects a write or a read. One TempFiles object owns
// them and removes them on every path out of the run, a signal included (signal_cleanup.h),
// except a file the run decides to keep.
#pragma once

#include <sys/types.h>

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
  RunNumbers() : engine_(clockSeed()) {}
  int next() { return distribution_(engine_); }

 private:
  static std::mt19937::result_type clockSeed();

  std::mt19937 engine_;
  std::uniform_int_distribution<int> distribution_{0, 99999};
};

// One temporary file. Removed when destroyed unless removed or kept before.
class TempFile {
 public:
  TempFile() = default;
  ~TempFile();
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;

  const std::string& path() const { return path_; }
  bool created() const { return fd_ >= 0; }
  // errno of the create that failed.
  int createError() const { return createError_; }

  // The descriptor of the exclusive create, or -1 when it failed.
  int fd() const { return fd_; }

  // The descriptor; when the create failed, throws CompileError naming the file and the reason.
  int writableFd() const;

  // Throws CompileError unless the path still names the file that was created.
  void checkName() const;

  // Closes the descriptor now, reporting a failed close as a failed write (CompileError).
  void close();

  // Closes and removes the file now; a failed removal throws CompileError.
  void remove();

  // The file outlives the run: closed, and no longer removed by anyone.
  void keep();

 private:
  friend class TempFiles;
  enum class Creation { Created, Exists, Failed };

  Creation create(std::string path);
  void discard();  // closes and unlinks, ignoring failures

  std::string path_;
  int fd_ = -1;
  int createError_ = 0;  // errno of a failed create
  bool held_ = false;    // created and neither removed nor kept
  dev_t device_ = 0;
  ino_t inode_ = 0;
};

class TempFiles {
 public:
  // Creates the AST file (and the C file when `withCFile`) of one run number exclusively, mode
  // 0600, after installing the signal handlers. A name that exists already gives up what was
  // created and draws another number. A create that fails for any other reason is recorded: the
  // file's writer reports it. Throws CompileError when no free name turns up.
  TempFiles(const std::string& dir, bool withCFile, const std::function<int()>& drawRunNumber);

  TempFile& ast() { return ast_; }
  TempFile& c() { return c_; }  // no path unless `withCFile`

 private:
  TempFile ast_;
  TempFile c_;
};

}  // namespace vrel
