#include "codegen/prelude.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "semantic/symbol_table.h"
#include "test_support.h"

namespace vrel {
namespace {

namespace fs = std::filesystem;

const fs::path kData = fs::path(__FILE__).parent_path() / "translate";

using test::readFile;

TEST(PreludeTest, IsItsExpectedText) {
  EXPECT_EQ(std::string(runtimePrelude()), readFile(kData / "prelude.expected"));
}

using namespace ast;

const Type kInt = TPrim{DataType::Dinteger};
const Type kByte = TPrim{DataType::Dbyte};
const Type kBytes = TArr{kByte};
const RetType kProc = Rnothing{};

struct Routine {
  std::string name;
  std::string cHeader;  // the prelude's line that defines it
  std::vector<bool> byRef;
  std::vector<Type> types;
  RetType result;
};

// What each C parameter declaration of the prelude passes: a pointer or array is a byte array
// passed by reference, anything else a scalar by value.
std::pair<bool, Type> passedAs(const std::string& declaration) {
  bool pointer =
      declaration.find('*') != std::string::npos || declaration.find("[]") != std::string::npos;
  if (pointer) return {true, kBytes};
  return {false, declaration.starts_with("int ") ? kInt : kByte};
}

// Every library routine against the prelude's C definition and the symbol table's signature.
TEST(PreludeTest, LibraryRoutinesMatchTheirCDefinitions) {
  const std::vector<Routine> routines{
      {"writeInteger", "void vrel__writeInteger(int i) {", {false}, {kInt}, kProc},
      {"writeByte", "void vrel__writeByte(byte b) {", {false}, {kByte}, kProc},
      {"writeChar", "void vrel__writeChar(byte b) {", {false}, {kByte}, kProc},
      {"writeString", "void vrel__writeString(byte s[]) {", {true}, {kBytes}, kProc},
      {"readInteger", "int vrel__readInteger() {", {}, {}, Rtype{kInt}},
      {"readByte", "byte vrel__readByte() {", {}, {}, Rtype{kByte}},
      {"readChar", "byte vrel__readChar() {", {}, {}, Rtype{kByte}},
      {"readString",
       "void vrel__readString(int n, byte s[]) {",
       {false, true},
       {kInt, kBytes},
       kProc},
      {"extend", "int vrel__extend(byte b) {", {false}, {kByte}, Rtype{kInt}},
      {"shrink", "byte vrel__shrink(int i) {", {false}, {kInt}, Rtype{kByte}},
      {"strlen", "int vrel__strlen(byte *s) {", {true}, {kBytes}, Rtype{kInt}},
      {"strcmp",
       "int vrel__strcmp(byte *s1, byte *s2) {",
       {true, true},
       {kBytes, kBytes},
       Rtype{kInt}},
      {"strcpy",
       "void vrel__strcpy(char *trg, char *src) {",
       {true, true},
       {kBytes, kBytes},
       kProc},
      {"strcat",
       "void vrel__strcat(char *trg, char *src) {",
       {true, true},
       {kBytes, kBytes},
       kProc},
  };
  std::string prelude(runtimePrelude());
  const std::regex header(R"(^(void|int|byte) vrel__(\w+)\((.*)\) \{$)");
  std::vector<std::string> defined;
  std::istringstream lines(prelude);
  for (std::string line; std::getline(lines, line);) {
    if (std::regex_match(line, header)) defined.push_back(line);
  }
  ASSERT_EQ(defined.size(), routines.size());

  SymbolTable table = initialTable();
  for (std::size_t i = 0; i < routines.size(); ++i) {
    const Routine& routine = routines[i];
    SCOPED_TRACE(routine.name);
    EXPECT_EQ(defined[i], routine.cHeader);
    std::smatch parts;
    ASSERT_TRUE(std::regex_match(routine.cHeader, parts, header));
    EXPECT_EQ(parts[2], routine.name);
    RetType cResult = parts[1] == "void" ? kProc : RetType{Rtype{parts[1] == "int" ? kInt : kByte}};
    EXPECT_EQ(cResult, routine.result);
    std::vector<bool> cByRef;
    std::vector<Type> cTypes;
    std::istringstream params(parts[3]);
    for (std::string param; std::getline(params >> std::ws, param, ',');) {
      auto [byRef, type] = passedAs(param);
      cByRef.push_back(byRef);
      cTypes.push_back(type);
    }
    EXPECT_EQ(cByRef, routine.byRef);
    EXPECT_EQ(cTypes, routine.types);

    EXPECT_TRUE(isLibraryFunc(table, routine.name));
    const FuncSig& sig = lookupFunc(table, routine.name);
    EXPECT_EQ(sig.paramModes, routine.byRef);
    EXPECT_EQ(sig.paramTypes, routine.types);
    EXPECT_EQ(sig.result, routine.result);
  }
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
