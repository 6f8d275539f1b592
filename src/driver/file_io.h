// The driver's file operations. Every failure, a full disk on write or close included, throws
// CompileError naming the file and the operation.
#pragma once

#include <fstream>
#include <string>
#include <string_view>

namespace vrel {

std::string readWholeFile(const std::string& path);

// Opens `path` for writing, creating or truncating it.
std::ofstream openForWriting(const std::string& path);

// Closes `out` and reports any write or close that failed on it.
void closeWritten(std::ofstream& out, const std::string& path);

void removeFile(const std::string& path);

// Standard output, written and closed with the same checks.
void writeStandardOutput(std::string_view text);
void closeStandardOutput();

// True when both paths name one existing file (same device and inode).
bool isSameFile(const std::string& first, const std::string& second);

}  // namespace vrel
