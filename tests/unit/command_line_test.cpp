#include "driver/command_line.h"

#include <gtest/gtest.h>

#include "driver/option_scanner.h"

namespace vrel {
namespace {

Options accepted(const std::vector<std::string>& arguments) {
  std::variant<Options, BadOption> result = parseCommandLine(arguments);
  EXPECT_TRUE(std::holds_alternative<Options>(result)) << std::get<BadOption>(result).message;
  return std::holds_alternative<Options>(result) ? std::get<Options>(result) : Options{};
}

std::string rejected(const std::vector<std::string>& arguments) {
  std::variant<Options, BadOption> result = parseCommandLine(arguments);
  EXPECT_TRUE(std::holds_alternative<BadOption>(result));
  return std::holds_alternative<BadOption>(result) ? std::get<BadOption>(result).message : "";
}

TEST(CommandLineTest, NoArgumentsBuildsFromStandardInput) {
  Options options = accepted({});
  EXPECT_EQ(options, Options{});
  EXPECT_EQ(options.mode, Mode::ModeExec);
  EXPECT_EQ(options.verbosity, Verbosity::VerbNormal);
  EXPECT_FALSE(options.inputFile);
  EXPECT_FALSE(options.outputFile);
  EXPECT_FALSE(options.gccPath);
  EXPECT_EQ(options.gccFlags, "");
}

TEST(CommandLineTest, LongArgumentsAttachedOrSeparate) {
  EXPECT_EQ(accepted({"--gcc=/opt/bin/cc"}).gccPath, "/opt/bin/cc");
  EXPECT_EQ(accepted({"--gcc", "/opt/bin/cc"}).gccPath, "/opt/bin/cc");
  EXPECT_EQ(accepted({"--gcc="}).gccPath, "");
  EXPECT_EQ(accepted({"--gcc-f=-O2"}).gccFlags, " -O2");
  EXPECT_EQ(accepted({"--gcc-flags", "--help"}).gccFlags, " --help");
  EXPECT_EQ(accepted({"--gcc-flags=-O2 -g"}).gccFlags, " -O2 -g");
  EXPECT_EQ(accepted({"--vers"}).mode, Mode::ModeVersion);
  EXPECT_EQ(accepted({"--h"}).mode, Mode::ModeHelp);
}

TEST(CommandLineTest, ShortArgumentsFromClusterOrNext) {
  EXPECT_EQ(accepted({"-ofile"}).outputFile, "file");
  EXPECT_EQ(accepted({"-o", "-p"}).outputFile, "-p");
  EXPECT_EQ(accepted({"-o", "-p"}).mode, Mode::ModeExec);
  EXPECT_EQ(accepted({"-po", "out"}).outputFile, "out");
  EXPECT_EQ(accepted({"-po", "out"}).mode, Mode::ModeAst);
  EXPECT_EQ(accepted({"-o", "--"}).outputFile, "--");
  Options options = accepted({"-qvp"});
  EXPECT_EQ(options.verbosity, Verbosity::VerbVerbose);
  EXPECT_EQ(options.mode, Mode::ModeAst);
  // -g combines with every mode and changes nothing else.
  Options checked = accepted({"-tgo", "out.c"});
  EXPECT_TRUE(checked.checked);
  EXPECT_EQ(checked.mode, Mode::ModeC);
  EXPECT_EQ(checked.outputFile, "out.c");
  EXPECT_FALSE(accepted({"-t"}).checked);
}

TEST(CommandLineTest, LastOccurrenceOfEachFieldWins) {
  Options options = accepted({"--gcc-flags=-O2", "-o", "a", "-t", "--gcc=cc1", "-v", "-o", "b",
                              "--gcc-flags=-g", "-q", "--gcc", "cc2", "-p"});
  EXPECT_EQ(options.gccFlags, " -g");
  EXPECT_EQ(options.outputFile, "b");
  EXPECT_EQ(options.gccPath, "cc2");
  EXPECT_EQ(options.verbosity, Verbosity::VerbQuiet);
  EXPECT_EQ(options.mode, Mode::ModeAst);
  EXPECT_EQ(accepted({"-h", "-V"}).mode, Mode::ModeVersion);
  EXPECT_EQ(accepted({"-V", "-h"}).mode, Mode::ModeHelp);
  EXPECT_EQ(accepted({"-h", "-p"}).mode, Mode::ModeAst);
  EXPECT_EQ(accepted({"-p", "-t"}).mode, Mode::ModeC);
}

TEST(CommandLineTest, VerbosityChangesNothingElse) {
  Options quiet = accepted({"-q", "-t", "x.vrel"});
  Options verbose = accepted({"-v", "-t", "x.vrel"});
  Options plain = accepted({"-t", "x.vrel"});
  quiet.verbosity = verbose.verbosity = Verbosity::VerbNormal;
  EXPECT_EQ(quiet, plain);
  EXPECT_EQ(verbose, plain);
}

TEST(CommandLineTest, AtMostOneFileArgument) {
  EXPECT_EQ(accepted({"-"}).inputFile, "-");
  EXPECT_EQ(accepted({""}).inputFile, "");
  EXPECT_EQ(accepted({"-p", "prog.vrel", "-o", "out"}).inputFile, "prog.vrel");
  EXPECT_EQ(accepted({"--", "-p"}).inputFile, "-p");
  EXPECT_EQ(accepted({"--", "-p"}).mode, Mode::ModeExec);
  EXPECT_EQ(accepted({"--", "--"}).inputFile, "--");
  const std::string twoFiles = "no more than one file can be specified.";
  EXPECT_EQ(rejected({"a.src", "--", "-b.src"}), twoFiles);
  EXPECT_EQ(rejected({"-h", "a", "b"}), twoFiles);
  EXPECT_EQ(rejected({"-V", "-", "-"}), twoFiles);
}

TEST(CommandLineTest, ScannerErrorsComeBeforeTheFileRule) {
  EXPECT_EQ(rejected({"-x", "a", "b"}), "unrecognized option `-x'\n");
  EXPECT_EQ(rejected({"-h", "--help=yes"}), "option `--help' doesn't allow an argument\n");
}

TEST(CommandLineTest, UnrecognisedMessagesFollowTheOthers) {
  EXPECT_EQ(rejected({"--foo=bar", "-pz", "--he=1", "-o"}),
            "option `--he' doesn't allow an argument\n"
            "option `-o' requires an argument file\n"
            "unrecognized option `--foo=bar'\n"
            "unrecognized option `-z'\n");
  EXPECT_EQ(rejected({"-xy", "--gcc-f"}),
            "option `--gcc-f' requires an argument flags\n"
            "unrecognized option `-x'\n"
            "unrecognized option `-y'\n");
}

TEST(CommandLineTest, ScannerKeepsBothOrders) {
  ScannedArguments scanned = scanArguments({"b", "-t", "a", "-o", "c", "-", "--", "-q"});
  EXPECT_EQ(scanned.nonOptions, (std::vector<std::string>{"b", "a", "-", "-q"}));
  EXPECT_EQ(scanned.settings, (std::vector<OptionSetting>{SetMode{Mode::ModeC}, SetOutput{"c"}}));
  EXPECT_TRUE(scanned.errors.empty());
}

TEST(CommandLineTest, AmbiguityListsCandidatesInTableOrder) {
  EXPECT_EQ(rejected({"--gc=x"}),
            "option `--gc' is ambiguous; could be one of:\n"
            "    --gcc=file         Full path and file name for gcc compiler\n"
            "    --gcc-flags=flags  Flags to be passed to gcc\n");
  EXPECT_EQ(rejected({"--="}),
            "option `--' is ambiguous; could be one of:\n"
            "      --gcc=file         Full path and file name for gcc compiler\n"
            "      --gcc-flags=flags  Flags to be passed to gcc\n"
            "  -V  --version          Print compiler version and exit\n"
            "  -h  --help             Display this list of options\n");
}

}  // namespace
}  // namespace vrel
