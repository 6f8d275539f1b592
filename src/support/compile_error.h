// The one error type of the stages after the front end: a semantic or translation error, or a
// failed file operation. It unwinds to main, which prints "vrelc: " + message and exits with 1.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>

namespace vrel {

// A place in a tree read from AST text: the constructor name `after` names past the name of a
// node (given by its index in the tree's storage), or past the start of the text when there is
// no node. A node is its own name; a parameter, which has no node, is the name after those of
// its type; the main function is name 1, after "Prog".
struct NodeRef {
  std::optional<std::uint32_t> node;
  std::uint32_t after = 0;
  bool operator==(const NodeRef&) const = default;
};

// What an error is about: its place, what the location block says there when it says more than
// the message, and a second place the block notes (where a name was first declared).
struct ErrorSite {
  NodeRef at;
  std::string text;
  std::optional<NodeRef> note;
  std::string noteText;
};

// A failed operation on a file: the file, and the system's reason.
struct FileProblem {
  std::string path;
  std::string reason;
};

class CompileError : public std::runtime_error {
 public:
  explicit CompileError(const std::string& message) : std::runtime_error(message) {}
  CompileError(const std::string& message, ErrorSite site)
      : std::runtime_error(message), site_(std::move(site)) {}

  CompileError(const std::string& message, FileProblem file)
      : std::runtime_error(message), file_(std::move(file)) {}

  const std::optional<ErrorSite>& site() const { return site_; }
  const std::optional<FileProblem>& file() const { return file_; }
  // Places an error that has no place yet at `at`: the innermost construct being translated
  // when it was found.
  void placeAt(const std::optional<NodeRef>& at) {
    if (!site_ && at) site_ = ErrorSite{*at, {}, {}, {}};
  }

 private:
  std::optional<ErrorSite> site_;
  std::optional<FileProblem> file_;
};

// "cannot <verb> <path><rest>: <reason>", thrown for a failed operation on a file.
[[noreturn]] void failOnFile(const std::string& verb, const std::string& path, int error,
                             const std::string& rest = "");

}  // namespace vrel
