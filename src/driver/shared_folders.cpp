#include "driver/shared_folders.h"

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <system_error>

#include "support/compile_error.h"

namespace vrel {
namespace {

bool shared(const std::string& folder) {
  struct stat info {};
  if (::stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) return false;
  return (info.st_mode & (S_IWGRP | S_IWOTH)) != 0 && (info.st_mode & S_ISVTX) == 0;
}

// `path` (absolute) and every folder above it, from the root down.
std::optional<std::string> firstShared(const std::string& path) {
  if (shared("/")) return "/";
  for (std::size_t end = path.find('/', 1); end != std::string::npos;
       end = path.find('/', end + 1)) {
    if (shared(path.substr(0, end))) return path.substr(0, end);
  }
  if (shared(path)) return path;
  return std::nullopt;
}

}  // namespace

std::optional<std::string> sharedFolderAbove(const std::string& dir) {
  std::string path = dir.empty() ? "." : dir;
  if (!path.starts_with('/')) {
    std::error_code error;
    std::filesystem::path current = std::filesystem::current_path(error);
    if (error) return std::nullopt;
    path = (current / path).string();
  }
  if (std::optional<std::string> found = firstShared(path)) return found;
  std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr),
                                                       &std::free);
  if (resolved == nullptr) return std::nullopt;
  return firstShared(resolved.get());
}

void requireNamesOfOurOwn(const std::string& dir) {
  if (std::optional<std::string> folder = sharedFolderAbove(dir)) {
    throw CompileError("cannot compile in temporary directory " + (dir.empty() ? "." : dir) +
                       ": other users can replace files in " + *folder +
                       ", which has no sticky bit; set TMPDIR to a folder of your own");
  }
}

}  // namespace vrel
