#include "semantic/operand.h"

#include <gtest/gtest.h>

#include "support/compile_error.h"
#include "test_support.h"

namespace vrel {
namespace {

using namespace ast;

const Type kInt = TPrim{DataType::Dinteger};
const Type kByte = TPrim{DataType::Dbyte};

using test::errorOf;

Value var(const Name& name) {
  return V_obj{O_var{name}};
}
Value ind(const Value& value) {
  return V_obj{O_ind{value}};
}

TEST(OperandTest, ConstantsHaveFixedTypes) {
  EXPECT_EQ(valType(initialTable(), V_const{C_str{"abc"}}), Type{TArr{kByte}});
  EXPECT_EQ(valType(initialTable(), V_const{C_char{"a"}}), kByte);
  EXPECT_EQ(valType(initialTable(), V_const{C_int{-5}}), kInt);
  EXPECT_EQ(constType(C_str{""}), Type{TArr{kByte}});
  EXPECT_EQ(valType(initialTable(), ind(V_const{C_str{"abc"}})), kByte);
}

TEST(OperandTest, EachIndirectionRemovesOneArrayLevel) {
  SymbolTable t = addVar(openScope(initialTable()), "a", TArr{Type{TArr{kInt}}});
  EXPECT_EQ(valType(t, ind(var("a"))), Type{TArr{kInt}});
  EXPECT_EQ(valType(t, ind(ind(var("a")))), kInt);
  EXPECT_EQ(errorOf([&] { valType(t, ind(ind(ind(var("a"))))); }), "invalid type for indirection");
  EXPECT_EQ(errorOf([&] { valType(t, ind(V_const{C_int{1}})); }), "invalid type for indirection");
  EXPECT_EQ(errorOf([&] { valType(t, ind(var("b"))); }), "undefined variable b");
}

TEST(OperandTest, ObjRefFollowsTheNearestDeclaration) {
  SymbolTable byRef = addParam(openScope(initialTable()), Param{"p", kInt, PassMode::ByRef});
  SymbolTable byVal = addParam(openScope(initialTable()), Param{"p", kInt, PassMode::ByVal});
  SymbolTable local = addVar(openScope(initialTable()), "p", kInt);
  EXPECT_TRUE(objRef(byRef, O_var{"p"}));
  EXPECT_FALSE(objRef(byVal, O_var{"p"}));
  EXPECT_FALSE(objRef(local, O_var{"p"}));
  EXPECT_TRUE(objRef(openScope(byRef), O_var{"p"}));
  EXPECT_FALSE(objRef(addVar(openScope(byRef), "p", kInt), O_var{"p"}));
  EXPECT_TRUE(objRef(addParam(openScope(local), Param{"p", kInt, PassMode::ByRef}), O_var{"p"}));
}

TEST(OperandTest, TemporariesIndirectionsAndFunctionsAreNotVariables) {
  SymbolTable t = addVar(openScope(initialTable()), "s", TArr{kByte});
  EXPECT_FALSE(objRef(t, O_temp{0}));
  EXPECT_EQ(errorOf([&] { valType(t, V_obj{O_temp{0}}); }), "undefined temporary $0");
  EXPECT_EQ(errorOf([&] { objType(t, O_temp{-7}); }), "undefined temporary $-7");

  Obj element = O_ind{var("s")};
  EXPECT_EQ(objType(t, element), kByte);
  EXPECT_EQ(errorOf([&] { objRef(t, element); }), "invalid indirection in objRef");
  EXPECT_EQ(errorOf([&] { objRef(t, O_ind{var("nothing")}); }), "invalid indirection in objRef");

  EXPECT_EQ(errorOf([&] { objRef(t, O_var{"writeInteger"}); }), "undefined variable writeInteger");
  EXPECT_EQ(errorOf([&] { valType(t, var("writeInteger")); }), "undefined variable writeInteger");
}

}  // namespace
}  // namespace vrel
