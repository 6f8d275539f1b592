#include "support/diagnostics.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace vrel {
namespace {

// Standard error is where failures are told: a failure to write there has nowhere to go.
void writeStandardError(const std::string& text) {
  (void)std::fwrite(text.data(), 1, text.size(), stderr);
  (void)std::fflush(stderr);
}

// The part of a long line shown around `column` (from 1): at most this many bytes.
constexpr std::uint64_t kShownLine = 160;

}  // namespace

Diagnostics Diagnostics::forStandardError(const char* inputFile) {
  const char* mode = std::getenv("VRELC_DIAGNOSTICS");
  std::string_view value = mode ? mode : "";
  bool terminal = ::isatty(STDERR_FILENO) == 1;
  const char* noColour = std::getenv("NO_COLOR");
  Settings settings;
  bool automatic = value != "always" && value != "never";
  settings.blocks = value == "always" || (automatic && terminal);
  settings.colour = settings.blocks && terminal && (noColour == nullptr || *noColour == '\0');
  settings.announceStandardInput =
      automatic && terminal && inputFile == nullptr && ::isatty(STDIN_FILENO) == 1;
  return Diagnostics(inputFile ? inputFile : "<stdin>", settings);
}

std::string Diagnostics::paint(std::string_view text, std::string_view colour) const {
  if (!settings_.colour) return std::string(text);
  return "\033[" + std::string(colour) + "m" + std::string(text) + "\033[0m";
}

void Diagnostics::block(std::string_view severity, const Located& at, std::string& out) const {
  const Location& where = at.where;
  out += fileName_ + ":" + std::to_string(where.line) + ":" + std::to_string(where.column) + ": ";
  out += paint(std::string(severity) + ":", severity == "error" ? "1;31" : "1;36");
  out += " " + at.text + "\n";
  std::string_view text = where.lineText;
  std::uint64_t skipped = where.textColumn - 1;
  std::uint64_t column = where.column - skipped;
  std::uint64_t last = where.endLine == where.line ? where.endColumn - skipped : text.size() + 1;
  // A long line is cut so that the marked place stays in view.
  std::uint64_t from = column > kShownLine / 2 ? column - kShownLine / 2 : 0;
  if (from > text.size()) from = text.size();
  text = text.substr(from, kShownLine);
  column -= from;
  last =
      std::min(last - std::min(last, from), std::max<std::uint64_t>(text.size() + 1, column + 1));
  if (last <= column) last = column + 1;
  std::string number = std::to_string(where.line);
  std::string gutter(number.size(), ' ');
  out += "    " + number + " | " + std::string(text) + "\n";
  // One mark per character: the bytes that continue a UTF-8 character take no column.
  auto continues = [&](std::uint64_t i) {
    return i <= text.size() && (static_cast<unsigned char>(text[i - 1]) & 0xC0) == 0x80;
  };
  std::string marks;
  for (std::uint64_t i = 1; i < column; ++i) {
    if (!continues(i)) marks += i <= text.size() && text[i - 1] == '\t' ? '\t' : ' ';
  }
  std::string caret = "^";
  for (std::uint64_t i = column + 1; i < last; ++i) {
    if (!continues(i)) caret += '~';
  }
  out += "    " + gutter + " | " + marks + paint(caret, "1;32") + "\n";
}

void Diagnostics::report(std::string_view line, const std::optional<Located>& error,
                         const std::optional<Located>& note) {
  std::string out(line);
  out += "\n";
  if (settings_.blocks && error) {
    block("error", *error, out);
    if (note) block("note", *note, out);
  }
  writeStandardError(out);
}

void Diagnostics::fileError(std::string_view line, std::string_view path, std::string_view reason) {
  std::string out(line);
  out += "\n";
  if (settings_.blocks) {
    out += std::string(path) + ": " + paint("error:", "1;31") + " " + std::string(reason) + "\n";
  }
  writeStandardError(out);
}

void Diagnostics::message(std::string_view line) {
  writeStandardError(std::string(line) + "\n");
}

void Diagnostics::write(std::string_view text) {
  writeStandardError(std::string(text));
}

void Diagnostics::announceStandardInput() {
  if (settings_.announceStandardInput) {
    writeStandardError("vrelc: reading the program from standard input; end it with Ctrl-D\n");
  }
}

}  // namespace vrel
