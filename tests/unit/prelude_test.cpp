#include "codegen/prelude.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "test_support.h"

namespace vrel {
namespace {

namespace fs = std::filesystem;

const fs::path kData = fs::path(__FILE__).parent_path() / "translate";

using test::readFile;

TEST(PreludeTest, IsTheFixedSixtySixLines) {
  std::string prelude(runtimePrelude());
  EXPECT_EQ(prelude, readFile(kData / "prelude.expected"));
  EXPECT_EQ(std::count(prelude.begin(), prelude.end(), '\n'), 66);
  EXPECT_TRUE(prelude.starts_with("#include <stdio.h>\n"));
  EXPECT_TRUE(prelude.ends_with("}\n\n"));
  std::istringstream lines(prelude);
  std::string line;
  for (int i = 0; i < 5; ++i) std::getline(lines, line);
  EXPECT_EQ(line, "typedef unsigned char byte;");
}

TEST(PreludeTest, RoutinesBehaveAsDocumented) {
  fs::path dir = fs::temp_directory_path() / ("vrel_prelude_test_" + std::to_string(getpid()));
  fs::create_directories(dir);
  std::ofstream(dir / "p.c") << runtimePrelude()
                             << "int main() {\n"
                                "  byte s[8];\n"
                                "  vrel__writeInteger(vrel__extend(vrel__shrink(300)));\n"
                                "  vrel__writeChar(' ');\n"
                                "  vrel__writeByte(vrel__readByte());\n"
                                "  vrel__writeChar(' ');\n"
                                "  vrel__readString(8, s);\n"
                                "  vrel__writeInteger(vrel__strlen(s));\n"
                                "  for (int i = 0; i < 4; ++i) {\n"
                                "    vrel__writeChar(' ');\n"
                                "    vrel__writeInteger(vrel__readChar());\n"
                                "  }\n"
                                "  return 0;\n"
                                "}\n";
  std::string d = dir.string();
  std::string command = "timeout 60 gcc -w -std=gnu99 -o " + d + "/p " + d +
                        "/p.c && printf '260\\nab\\n' | timeout 10 " + d + "/p > " + d + "/out";
  ASSERT_EQ(std::system(command.c_str()), 0);
  // readByte keeps the low byte; readString reads the rest of the number's line, its newline
  // included; at end of input readChar gives 255.
  EXPECT_EQ(readFile(dir / "out"), "44 4 1 97 98 10 255");
  fs::remove_all(dir);
}

}  // namespace
}  // namespace vrel
