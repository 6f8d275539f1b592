// The temporary files of one run: "vrelhs_" + run number + ".ast", and ".c" when C text is staged
// or compiled, in the temporary directory. Each is created exclusively, so that concurrent runs
// never share a name, and is then used only through the descriptor of that creation: a name
// swapped for a link afterwards never redirects a write or a read. One TempFiles object owns
// them and removes them on every path out of the run, a signal included (signal_cleanup.h),
// except a file the run decides to keep.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <random>
#include <string>
#include <string_view>

namespace vrel {

// TMPDIR when it is set (also when empty), otherwise "/tmp".
std::string temporaryDirectory();

// dir + name with one "/" between them; an empty dir gives the bare name, and a dir ending in
// "/" gets no second separator. A backslash is an ordinary character of a folder's name.
std::string joinPath(std::string_view dir, std::string_view name);

// Where a run number is drawn from: 0..99999, or, once many names there were found taken, every
// 64-bit number.
enum class RunRange { kUsual, kWide };

// Run numbers drawn uniformly from their range by a generator seeded from the clock.
class RunNumbers {
 public:
  RunNumbers() : engine_(clockSeed()) {}
  std::uint64_t next(RunRange range = RunRange::kUsual) {
    return range == RunRange::kUsual ? usual_(engine_) : wide_(engine_);
  }

 private:
  static std::mt19937::result_type clockSeed();

  std::mt19937 engine_;
  std::uniform_int_distribution<std::uint64_t> usual_{0, 99999};
  std::uniform_int_distribution<std::uint64_t> wide_;
};

using DrawRunNumber = std::function<std::uint64_t(RunRange range)>;

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

  // Closes the file and renames it to `target`, which it replaces; the file is then no longer
  // removed by anyone. A failure throws CompileError and leaves the file to be removed.
  void renameTo(const std::string& target);

  enum class Creation { Created, Exists, Failed };

  // Creates `path` exclusively with `mode` (less the umask), read-write, for this object to
  // remove; records why when it fails.
  Creation create(std::string path, mode_t mode = 0600);

 private:
  friend class TempFiles;
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
  // created and draws another number: from the usual range first, then from the wide one. A
  // create that fails for any other reason is recorded: the file's writer reports it. Throws
  // CompileError when no free name turns up, and, with `withCFile`, before anything is created
  // when another user could replace the C file before the compiler reads it (shared_folders.h).
  TempFiles(const std::string& dir, bool withCFile, const DrawRunNumber& drawRunNumber);

  TempFile& ast() { return ast_; }
  TempFile& c() { return c_; }  // no path unless `withCFile`

 private:
  TempFile ast_;
  TempFile c_;
};

}  // namespace vrel
