#include "ast/tree.h"

#include <gtest/gtest.h>

#include "support/large_stack.h"

namespace vrel::ast {
namespace {

Expr var(const char* name) {
  return Elval{LPrim{name}};
}

TEST(TreeTest, EqualityIsStructural) {
  Expr a = Ebinop{BinOp::BOplus, var("a"), Enum{1}};
  Expr b = Ebinop{BinOp::BOplus, var("a"), Enum{1}};
  Expr c = Ebinop{BinOp::BOminus, var("a"), Enum{1}};
  EXPECT_EQ(a, b);
  EXPECT_NE(a, c);
  EXPECT_NE(Type{TPrim{DataType::Dbyte}}, Type{TArr{TPrim{DataType::Dbyte}}});
  EXPECT_EQ(Stmt{Sblock{}}, Stmt{Sblock{{}}});
  EXPECT_NE(Stmt{Sblock{}}, Stmt{Sblock{{Sskip{}}}});
}

TEST(TreeTest, CopiesShareTheirChildren) {
  Expr inner = Enum{7};
  Expr outer = Eparen{inner};
  Expr copy = outer;
  EXPECT_EQ(&copy.variant(), &outer.variant());
  EXPECT_EQ(&std::get<Eparen>(outer.variant()).expr.variant(), &inner.variant());
}

TEST(TreeTest, TagsFollowTheDeclaredOrder) {
  EXPECT_EQ(Stmt{Sreturn{EOnone{}}}.tag(), 7u);
  EXPECT_EQ(Cond{Bnot{Btrue{}}}.tag(), 4u);
  EXPECT_EQ(Expr{Eparen{Enum{0}}}.tag(), 6u);
}

TEST(TreeTest, DeepTreesAreBuiltComparedAndDestroyedOnTheLargeStack) {
  runWithLargeStack([] {
    Expr a = Enum{0}, b = Enum{0};
    for (int i = 0; i < 1'000'000; ++i) {
      a = Eparen{a};
      b = Eparen{b};
    }
    EXPECT_EQ(a, b);
  });
}

TEST(LargeStackTest, RethrowsInTheCaller) {
  EXPECT_THROW(runWithLargeStack([] { throw std::runtime_error("x"); }), std::runtime_error);
}

}  // namespace
}  // namespace vrel::ast
