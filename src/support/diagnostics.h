// Every message to standard error goes through here: the line each failure has always printed,
// then, when the location block is switched on, the block that shows the place in the source:
//
//   vrelc: undefined variable totl
//   average.vrel:7:11: error: undefined variable totl
//       7 |   total = totl + x;
//         |           ^~~~
//
// The block is switched by VRELC_DIAGNOSTICS: "always", "never", or anything else (unset and
// empty too) for "auto", which shows it when standard error is a terminal. Colours only ever go
// to a terminal, and never when NO_COLOR is set.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "support/source_location.h"

namespace vrel {

// Where messages about the source go: to standard error, or to an editor's list.
class DiagnosticSink {
 public:
  virtual ~DiagnosticSink() = default;
  // `line` is the message as it has always been printed, without its newline; `error` and
  // `note` say where it is.
  virtual void report(std::string_view line, const std::optional<Located>& error,
                      const std::optional<Located>& note = std::nullopt) = 0;
  // A message about a file, and the system's reason.
  virtual void fileError(std::string_view line, std::string_view path, std::string_view reason) = 0;
  // A message that is about no place in the source.
  virtual void message(std::string_view line) = 0;
  // Whether the places given to report() are shown; finding them costs a slower parse.
  virtual bool showsPlaces() const = 0;
};

class Diagnostics : public DiagnosticSink {
 public:
  struct Settings {
    bool blocks = false;
    bool colour = false;
    bool announceStandardInput = false;  // auto on a terminal
  };
  // `fileName` is the source as the command line names it, or "<stdin>".
  Diagnostics(std::string fileName, Settings settings)
      : fileName_(std::move(fileName)), settings_(settings) {}

  // The settings for standard error from the environment; `inputFile` is null for standard
  // input.
  static Diagnostics forStandardError(const char* inputFile);

  bool blocks() const { return settings_.blocks; }

  void report(std::string_view line, const std::optional<Located>& error,
              const std::optional<Located>& note = std::nullopt) override;
  void fileError(std::string_view line, std::string_view path, std::string_view reason) override;
  void message(std::string_view line) override;
  bool showsPlaces() const override { return settings_.blocks; }
  // Text that ends in its own newline.
  void write(std::string_view text);
  // Said once before a program is read from a terminal, when the block is on there.
  void announceStandardInput();

 private:
  void block(std::string_view severity, const Located& where, std::string& out) const;
  std::string paint(std::string_view text, std::string_view colour) const;

  std::string fileName_;
  Settings settings_;
};

}  // namespace vrel
