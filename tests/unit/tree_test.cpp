#include "ast/tree.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

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

TEST(TreeTest, NodesUnpackIntoTheirConstructors) {
  Expr sum = Ebinop{BinOp::BOtimes, var("a"), Enum{2}};
  auto binop = sum.get_if<Ebinop>();
  ASSERT_TRUE(binop);
  EXPECT_EQ(binop->op, BinOp::BOtimes);
  EXPECT_EQ(binop->right, Expr{Enum{2}});
  EXPECT_FALSE(sum.get_if<Enum>());
  EXPECT_TRUE(sum.is<Ebinop>());
  EXPECT_FALSE(sum.is<Eparen>());
}

TEST(TreeTest, ListsAreRanges) {
  List<Stmt> empty;
  EXPECT_TRUE(empty.empty());
  EXPECT_EQ(empty.begin(), empty.end());
  List<Stmt> two{Sskip{}, Sreturn{EOnone{}}};
  ASSERT_EQ(two.size(), 2u);
  EXPECT_EQ(two[1], Stmt{Sreturn{EOnone{}}});
  std::vector<std::size_t> tags;
  for (const Stmt& s : two) tags.push_back(s.tag());
  EXPECT_EQ(tags, (std::vector<std::size_t>{Stmt::tagOf<Sskip>(), Stmt::tagOf<Sreturn>()}));
  EXPECT_EQ(two, (List<Stmt>{Sskip{}, Sreturn{EOnone{}}}));
  EXPECT_NE(two, (List<Stmt>{Sskip{}}));
  EXPECT_NE(two, (List<Stmt>{Sskip{}, Sskip{}}));
}

TEST(TreeTest, NamesBehaveLikeStrings) {
  Name name = std::string("count");
  EXPECT_EQ(name, "count");
  EXPECT_EQ(name, std::string("count"));
  EXPECT_NE(name, Name("counter"));
  EXPECT_LT(name, Name("d"));
  EXPECT_EQ("vrel__" + name + "(", "vrel__count(");
  EXPECT_EQ(name + std::string(" "), "count ");
  EXPECT_EQ(name.size(), 5u);
  EXPECT_EQ(name[0], 'c');
  std::map<Name, int> byName{{"b", 2}, {"a", 1}};
  EXPECT_EQ(byName.begin()->first, "a");
  EXPECT_EQ(std::hash<Name>{}(name), std::hash<std::string_view>{}("count"));

  Name kept;
  {
    std::string temporary = "temporary";
    Expr lvalue = Elval{LPrim{temporary}};
    kept = std::get<LPrim>(std::get<Elval>(lvalue.variant()).lvalue.variant()).name;
    temporary.assign("overwritten");
  }
  EXPECT_EQ(kept, "temporary");
  Text bytes = std::string("a\0b", 3);
  EXPECT_EQ(bytes.size(), 3u);
}

TEST(TreeTest, TagsFollowTheDeclaredOrder) {
  EXPECT_EQ(Stmt{Sreturn{EOnone{}}}.tag(), 7u);
  EXPECT_EQ(Cond{Bnot{Btrue{}}}.tag(), 4u);
  EXPECT_EQ(Expr{Eparen{Enum{0}}}.tag(), 6u);
}

TEST(TreeStoreTest, StoresEqualStringsOnceAndKeepsWhatItStoredAsItGrows) {
  TreeStore store;
  std::string withNul("a\0b", 3);
  Word first = store.intern("count");
  Word nul = store.intern(withNul);
  std::vector<Word> nodes;
  for (Word i = 0; i < 100'000; ++i) {
    const Word fields[] = {i, first};
    nodes.push_back(store.appendNode(i % 7, fields));
  }
  EXPECT_EQ(store.intern("count"), first);
  EXPECT_EQ(store.intern(withNul), nul);
  EXPECT_NE(store.intern("counter"), first);
  EXPECT_EQ(store.string(first), "count");
  EXPECT_EQ(store.string(nul), withNul);
  EXPECT_EQ(store.string(store.intern("")), "");
  for (Word i = 0; i < 100'000; i += 997) {
    const Word* node = store.at(nodes[i]);
    EXPECT_EQ(node[0], i % 7);
    EXPECT_EQ(node[1], i);
    EXPECT_EQ(node[2], first);
  }
  const Word elements[] = {nodes[0], nodes[1]};
  const Word* list = store.at(store.appendList(2, elements));
  EXPECT_EQ(list[0], 2u);
  EXPECT_EQ(list[2], nodes[1]);
  EXPECT_EQ(store.at(store.emptyList())[0], 0u);
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
