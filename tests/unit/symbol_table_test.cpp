#include "semantic/symbol_table.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/compile_error.h"
#include "test_support.h"

namespace vrel {
namespace {

using namespace ast;

const Type kInt = TPrim{DataType::Dinteger};
const Type kByte = TPrim{DataType::Dbyte};
const Type kByteArray = TArr{kByte};
const RetType kProc = Rnothing{};

using test::errorOf;

TEST(SymbolTableTest, LibraryRoutinesAreVisibleFromAnyDepth) {
  SymbolTable deep = openScope(openScope(initialTable()));
  const FuncSig& readString = lookupFunc(deep, "readString");
  EXPECT_EQ(readString.paramModes, (std::vector<bool>{false, true}));
  EXPECT_EQ(readString.result, kProc);
  const FuncSig& readChar = lookupFunc(deep, "readChar");
  EXPECT_TRUE(readChar.paramModes.empty());
  EXPECT_EQ(readChar.result, RetType{Rtype{kByte}});
  EXPECT_EQ(lookupFunc(deep, "strcmp").paramModes, (std::vector<bool>{true, true}));
  EXPECT_EQ(lookupFunc(deep, "strcmp").result, RetType{Rtype{kInt}});
  for (const char* name :
       {"strcat", "strcpy", "strcmp", "strlen", "shrink", "extend", "readString", "readChar",
        "readByte", "readInteger", "writeString", "writeChar", "writeByte", "writeInteger"}) {
    EXPECT_TRUE(isLibraryFunc(deep, name)) << name;
  }
  SymbolTable library = closeScope(initialTable());
  EXPECT_TRUE(isLibraryFunc(library, "writeInteger"));
  EXPECT_EQ(errorOf([&] { closeScope(library); }), "cannot close outermost scope");
}

TEST(SymbolTableTest, UserFunctionHidesLibraryRoutineUntilItsScopeCloses) {
  SymbolTable global = addFunc(initialTable(), "writeInteger", Rtype{kInt}, {});
  SymbolTable inner = openScope(global);
  EXPECT_FALSE(isLibraryFunc(global, "writeInteger"));
  EXPECT_FALSE(isLibraryFunc(inner, "writeInteger"));
  EXPECT_TRUE(lookupFunc(inner, "writeInteger").paramModes.empty());
  EXPECT_EQ(lookupFunc(inner, "writeInteger").result, RetType{Rtype{kInt}});

  SymbolTable library = closeScope(global);
  EXPECT_TRUE(isLibraryFunc(library, "writeInteger"));
  EXPECT_EQ(lookupFunc(library, "writeInteger").paramModes, std::vector<bool>{false});
  EXPECT_EQ(errorOf([&] { closeScope(library); }), "cannot close outermost scope");
}

TEST(SymbolTableTest, DuplicatesInOneScopeFailAndShadowingAcrossScopesSucceeds) {
  SymbolTable f = openScope(addFunc(initialTable(), "f", kProc, {}));
  f = addParam(f, Param{"x", kInt, PassMode::ByVal});
  EXPECT_EQ(errorOf([&] { addVar(f, "x", kInt); }), "identifier x already declared");
  EXPECT_EQ(errorOf([&] {
              addParam(f, Param{"x", kByte, PassMode::ByRef});
            }),
            "identifier x already declared");

  f = addVar(f, "y", kInt);
  SymbolTable g = addVar(openScope(addFunc(f, "g", kProc, {})), "y", kByte);
  EXPECT_EQ(lookupVar(g, "y").type, kByte);
  EXPECT_EQ(lookupVar(f, "y").type, kInt);

  f = addFunc(f, "h", kProc, {});
  EXPECT_EQ(errorOf([&] { addFunc(f, "h", Rtype{kInt}, {}); }), "function h already declared");
  EXPECT_NO_THROW(addVar(f, "h", kInt));
  EXPECT_NO_THROW(addFunc(f, "y", kProc, {}));
}

TEST(SymbolTableTest, LookupsFailOnceTheDeclaringScopeIsClosed) {
  SymbolTable f = openScope(addFunc(initialTable(), "f", kProc, {}));
  SymbolTable withG = openScope(addFunc(f, "g", kProc, {}));
  EXPECT_NO_THROW(lookupFunc(withG, "g"));
  SymbolTable back = closeScope(closeScope(withG));
  EXPECT_NO_THROW(lookupFunc(back, "f"));
  EXPECT_EQ(errorOf([&] { lookupFunc(back, "g"); }), "undefined function g");
  EXPECT_EQ(errorOf([&] { isLibraryFunc(back, "g"); }), "undefined function g");
  EXPECT_EQ(errorOf([&] { lookupVar(back, "x"); }), "undefined variable x");
}

TEST(SymbolTableTest, ParametersRecordTypeAndMode) {
  SymbolTable t = openScope(initialTable());
  t = addParam(t, Param{"s", kByteArray, PassMode::ByRef});
  t = addParam(t, Param{"n", kInt, PassMode::ByVal});
  EXPECT_EQ(lookupVar(t, "s").type, kByteArray);
  EXPECT_TRUE(lookupVar(t, "s").byRef);
  EXPECT_EQ(lookupVar(t, "n").type, kInt);
  EXPECT_FALSE(lookupVar(t, "n").byRef);

  std::vector<Param> params{{"a", kInt, PassMode::ByRef}, {"b", kByteArray, PassMode::ByVal}};
  t = addFunc(t, "f", kProc, params);
  EXPECT_EQ(lookupFunc(t, "f").paramModes, (std::vector<bool>{true, false}));
  EXPECT_EQ(lookupFunc(t, "f").paramTypes, (std::vector<Type>{kInt, kByteArray}));
}

TEST(SymbolTableTest, OlderTablesKeepAnsweringAsBefore) {
  SymbolTable empty = openScope(initialTable());
  SymbolTable withX = addVar(empty, "x", kInt);
  SymbolTable withXY = addVar(withX, "y", kByte);
  SymbolTable withXZ = addVar(withX, "z", kByte);
  EXPECT_EQ(errorOf([&] { lookupVar(empty, "x"); }), "undefined variable x");
  EXPECT_EQ(errorOf([&] { lookupVar(withX, "y"); }), "undefined variable y");
  EXPECT_EQ(errorOf([&] { lookupVar(withXZ, "y"); }), "undefined variable y");
  EXPECT_NO_THROW(lookupVar(withXY, "y"));
  EXPECT_NO_THROW(lookupVar(withXZ, "x"));

  // A scope opened on a table leaves that table's innermost scope as it was.
  SymbolTable child = addVar(openScope(withX), "x", kByte);
  SymbolTable parent = closeScope(child);
  EXPECT_EQ(&parent.innermost(), &withX.innermost());
  EXPECT_EQ(lookupVar(parent, "x").type, kInt);

  SymbolTable global = initialTable();
  SymbolTable declared = addFunc(global, "f", kProc, {});
  EXPECT_EQ(errorOf([&] { lookupFunc(global, "f"); }), "undefined function f");
  EXPECT_NO_THROW(lookupFunc(declared, "f"));
}

TEST(SymbolTableTest, EveryVersionSurvivesManyDeclarationsAndDeepNesting) {
  constexpr int kNames = 2000;
  auto name = [](int i) { return "v" + std::to_string((i * 7919) % kNames); };
  SymbolTable scope = openScope(initialTable());
  std::vector<SymbolTable> versions;
  for (int i = 0; i < kNames; ++i) {
    if (i % 100 == 0) versions.push_back(scope);
    scope = addVar(std::move(scope), name(i), i % 2 ? kInt : kByte);
  }
  for (std::size_t v = 0; v < versions.size(); ++v) {
    int declared = static_cast<int>(v) * 100;
    if (declared > 0) {
      EXPECT_NO_THROW(lookupVar(versions[v], name(declared - 1))) << declared;
    }
    EXPECT_EQ(errorOf([&] { lookupVar(versions[v], name(declared)); }),
              "undefined variable " + name(declared));
  }
  for (int i = 0; i < kNames; ++i) EXPECT_EQ(lookupVar(scope, name(i)).type, i % 2 ? kInt : kByte);

  // A variable of the outermost function, hidden halfway down, from 3000 scopes deep.
  SymbolTable deep = scope;
  for (int depth = 0; depth < 3000; ++depth) {
    deep = openScope(std::move(deep));
    if (depth == 1500) deep = addParam(std::move(deep), Param{name(1), kByte, PassMode::ByRef});
  }
  EXPECT_TRUE(lookupVar(deep, name(1)).byRef);
  EXPECT_EQ(lookupVar(deep, name(2)).type, kByte);
  EXPECT_TRUE(isLibraryFunc(deep, "readChar"));
  for (int depth = 0; depth < 3000; ++depth) deep = closeScope(std::move(deep));
  EXPECT_FALSE(lookupVar(deep, name(1)).byRef);
  EXPECT_EQ(&deep.innermost(), &scope.innermost());
}

}  // namespace
}  // namespace vrel
