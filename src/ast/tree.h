// The tree of a Vrel program: immutable values, equality structural.
//
// Every type with several constructors is a `Node<...>`, a handle to an immutable node holding
// one of the constructor structs `Alts`, listed in their declared order (the index of a struct
// in `Alts` is its constructor's tag). A node read from AST text lives in the compact storage of
// its tree (tree_store.h) and is unpacked into its constructor struct when it is looked at; a
// node built by the program holds its struct itself. Copying a handle never copies the tree
// below it.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <optional>
#include <tuple>
#include <type_traits>
#include <utility>
#include <variant>
#include <vector>

#include "ast/tree_store.h"
#include "ast/tree_string.h"

namespace vrel::ast {

namespace storage {
struct Codec;
}

template <class... Alts>
class Node {
 public:
  using Variant = std::variant<Alts...>;

  template <class Alt, class = std::enable_if_t<(std::is_same_v<std::decay_t<Alt>, Alts> || ...)>>
  Node(Alt alt) : built_(std::make_shared<const Variant>(std::move(alt))) {}

  // The tag of the constructor `Alt`.
  template <class Alt, std::size_t I = 0>
  static constexpr std::size_t tagOf() {
    if constexpr (std::is_same_v<Alt, std::variant_alternative_t<I, Variant>>) {
      return I;
    } else {
      return tagOf<Alt, I + 1>();
    }
  }

  // The node's constructor struct (a value: its fields are handles).
  Variant variant() const;
  // The storage of the tree the node was read with; null for a built node.
  const TreeStore* store() const { return store_; }
  // Where the node is in the storage of the tree it was read with; nothing for a built node.
  std::optional<Word> storeIndex() const {
    if (built_) return std::nullopt;
    return at_;
  }
  std::size_t tag() const { return built_ ? built_->index() : store_->at(at_)[0]; }
  template <class Alt>
  std::optional<Alt> get_if() const;
  template <class Alt>
  bool is() const {
    return tag() == tagOf<Alt>();
  }

  friend bool operator==(const Node& a, const Node& b) {
    if (a.built_ ? a.built_ == b.built_ : a.store_ == b.store_ && a.at_ == b.at_) return true;
    return a.variant() == b.variant();
  }

 private:
  friend struct storage::Codec;
  Node(const TreeStore& store, Word at) : store_(&store), at_(at) {}

  const TreeStore* store_ = nullptr;  // a node read from AST text, at word `at_`
  Word at_ = 0;
  std::shared_ptr<const Variant> built_;  // a node built by the program
};

// An ordered sequence: a range of `T` values (handles or tuples) with size() and operator[].
template <class T>
class List {
 public:
  List() = default;
  List(std::vector<T> elements)
      : built_(std::make_shared<const std::vector<T>>(std::move(elements))) {}
  List(std::initializer_list<T> elements) : List(std::vector<T>(elements)) {}

  std::size_t size() const { return built_ ? built_->size() : count_; }
  bool empty() const { return size() == 0; }
  T operator[](std::size_t i) const;

  class Iterator {
   public:
    using value_type = T;
    using difference_type = std::ptrdiff_t;
    Iterator() = default;
    T operator*() const { return (*list_)[i_]; }
    Iterator& operator++() {
      ++i_;
      return *this;
    }
    Iterator operator++(int) {
      Iterator old = *this;
      ++i_;
      return old;
    }
    friend bool operator==(const Iterator& a, const Iterator& b) { return a.i_ == b.i_; }

   private:
    friend class List;
    Iterator(const List* list, std::size_t i) : list_(list), i_(i) {}
    const List* list_ = nullptr;
    std::size_t i_ = 0;
  };
  Iterator begin() const { return Iterator(this, 0); }
  Iterator end() const { return Iterator(this, size()); }

  friend bool operator==(const List& a, const List& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
      if (!(a[i] == b[i])) return false;
    return true;
  }

 private:
  friend struct storage::Codec;
  List(const TreeStore& store, Word at) : store_(&store), at_(at), count_(store.at(at)[0]) {}

  const TreeStore* store_ = nullptr;  // a list read from AST text, at word `at_`
  Word at_ = 0;
  std::size_t count_ = 0;
  std::shared_ptr<const std::vector<T>> built_;  // a list built by the program
};

using Name = TreeString;  // an identifier exactly as written
using Text = TreeString;  // decoded bytes of a character or string constant

enum class PassMode { ByVal, ByRef };
enum class DataType { Dinteger, Dbyte };
enum class UnOp { UOplus, UOminus, UOarrsz };
enum class BinOp {
  BOplus,
  BOminus,
  BOtimes,
  BOdiv,
  BOmod,
  BOeq,
  BOne,
  BOlt,
  BOgt,
  BOle,
  BOge,
  BOand,
  BOor
};
enum class RelOp { ROeq, ROne, ROlt, ROgt, ROle, ROge };
enum class LogOp { LOand, LOor };

struct TPrim;
struct TArr;
using Type = Node<TPrim, TArr>;
struct TPrim {
  DataType data;
  bool operator==(const TPrim&) const = default;
};
struct TArr {
  Type element;
  bool operator==(const TArr&) const = default;
};

struct Rnothing {
  bool operator==(const Rnothing&) const = default;
};
struct Rtype {
  Type type;
  bool operator==(const Rtype&) const = default;
};
using RetType = Node<Rnothing, Rtype>;

struct Param {
  Name name;
  Type type;
  PassMode mode;
  bool operator==(const Param&) const = default;
};

struct VarDef {
  Type type;
  Name name;
  std::int32_t size;
  bool operator==(const VarDef&) const = default;
};

struct Enum;
struct Echar;
struct Elval;
struct Eunop;
struct Ebinop;
struct Ecall;
struct Eparen;
using Expr = Node<Enum, Echar, Elval, Eunop, Ebinop, Ecall, Eparen>;

struct LPrim;
struct LArr;
struct Lstr;
using LValue = Node<LPrim, LArr, Lstr>;

struct Btrue;
struct Bfalse;
struct Brelop;
struct Blogop;
struct Bnot;
using Cond = Node<Btrue, Bfalse, Brelop, Blogop, Bnot>;

struct Sassign;
struct Sskip;
struct Sblock;
struct Scall;
struct Sif;
struct Sifelse;
struct Swhile;
struct Sreturn;
using Stmt = Node<Sassign, Sskip, Sblock, Scall, Sif, Sifelse, Swhile, Sreturn>;

struct EOnone;
struct EOexpr;
using ExprOpt = Node<EOnone, EOexpr>;

struct LFunc;
struct LVar;
using LocalDef = Node<LFunc, LVar>;

struct FuncCall {
  Name name;
  List<Expr> args;
  bool operator==(const FuncCall&) const = default;
};

struct Enum {
  std::int32_t value;
  bool operator==(const Enum&) const = default;
};
struct Echar {
  Text text;
  bool operator==(const Echar&) const = default;
};
struct Elval {
  LValue lvalue;
  bool operator==(const Elval&) const = default;
};
struct Eunop {
  UnOp op;
  Expr operand;
  bool operator==(const Eunop&) const = default;
};
struct Ebinop {
  BinOp op;
  Expr left;
  Expr right;
  bool operator==(const Ebinop&) const = default;
};
struct Ecall {
  FuncCall call;
  bool operator==(const Ecall&) const = default;
};
struct Eparen {
  Expr expr;
  bool operator==(const Eparen&) const = default;
};

struct LPrim {
  Name name;
  bool operator==(const LPrim&) const = default;
};
struct LArr {
  Name name;
  Expr index;
  bool operator==(const LArr&) const = default;
};
struct Lstr {
  Text text;
  bool operator==(const Lstr&) const = default;
};

struct Btrue {
  bool operator==(const Btrue&) const = default;
};
struct Bfalse {
  bool operator==(const Bfalse&) const = default;
};
struct Brelop {
  RelOp op;
  Expr left;
  Expr right;
  bool operator==(const Brelop&) const = default;
};
struct Blogop {
  LogOp op;
  Cond left;
  Cond right;
  bool operator==(const Blogop&) const = default;
};
struct Bnot {
  Cond cond;
  bool operator==(const Bnot&) const = default;
};

struct EOnone {
  bool operator==(const EOnone&) const = default;
};
struct EOexpr {
  Expr expr;
  bool operator==(const EOexpr&) const = default;
};

struct Sassign {
  LValue target;
  Expr value;
  bool operator==(const Sassign&) const = default;
};
struct Sskip {
  bool operator==(const Sskip&) const = default;
};
struct Sblock {
  List<Stmt> stmts;
  bool operator==(const Sblock&) const = default;
};
struct Scall {
  FuncCall call;
  bool operator==(const Scall&) const = default;
};
struct Sif {
  Cond cond;
  Stmt then;
  bool operator==(const Sif&) const = default;
};
struct Sifelse {
  Cond cond;
  Stmt then;
  Stmt otherwise;
  bool operator==(const Sifelse&) const = default;
};
struct Swhile {
  Cond cond;
  Stmt body;
  bool operator==(const Swhile&) const = default;
};
struct Sreturn {
  ExprOpt value;
  bool operator==(const Sreturn&) const = default;
};

struct FuncDef {
  Name name;
  RetType result;
  List<Param> params;
  List<LocalDef> locals;
  Stmt body;
  bool operator==(const FuncDef&) const = default;
};

struct LFunc {
  FuncDef func;
  bool operator==(const LFunc&) const = default;
};
struct LVar {
  VarDef var;
  bool operator==(const LVar&) const = default;
};

struct Prog {
  FuncDef main;
  std::shared_ptr<const TreeStore> storage = nullptr;  // where a tree read from text lives
  friend bool operator==(const Prog& a, const Prog& b) { return a.main == b.main; }
};

// How the structs above are unpacked from a tree's storage: a struct's fields are its members
// in declaration order, found by structured binding; handles, lists, strings, enumerators and
// integers take one word each, and a tuple-like struct (a field that is neither) takes the words
// of its own fields.
namespace storage {

template <class... Fields>
struct TypeList {};

// Converts to any field type; only used to count a struct's members.
struct AnyField {
  template <class F>
  operator F() const;
};

template <class T>
constexpr std::size_t fieldCount() {
  AnyField f;
  if constexpr (requires { T{f, f, f, f, f}; }) {
    return 5;
  } else if constexpr (requires { T{f, f, f, f}; }) {
    return 4;
  } else if constexpr (requires { T{f, f, f}; }) {
    return 3;
  } else if constexpr (requires { T{f, f}; }) {
    return 2;
  } else if constexpr (requires { T{f}; }) {
    return 1;
  } else {
    return 0;
  }
}

template <class T>
auto fieldTypes(T& t) {
  constexpr std::size_t kCount = fieldCount<T>();
  static_assert(kCount <= 5, "a struct of the tree has at most five fields");
  if constexpr (kCount == 0) {
    return TypeList<>{};
  } else if constexpr (kCount == 1) {
    auto& [a] = t;
    return TypeList<std::remove_cvref_t<decltype(a)>>{};
  } else if constexpr (kCount == 2) {
    auto& [a, b] = t;
    return TypeList<std::remove_cvref_t<decltype(a)>, std::remove_cvref_t<decltype(b)>>{};
  } else if constexpr (kCount == 3) {
    auto& [a, b, c] = t;
    return TypeList<std::remove_cvref_t<decltype(a)>, std::remove_cvref_t<decltype(b)>,
                    std::remove_cvref_t<decltype(c)>>{};
  } else if constexpr (kCount == 4) {
    auto& [a, b, c, d] = t;
    return TypeList<std::remove_cvref_t<decltype(a)>, std::remove_cvref_t<decltype(b)>,
                    std::remove_cvref_t<decltype(c)>, std::remove_cvref_t<decltype(d)>>{};
  } else {
    auto& [a, b, c, d, e] = t;
    return TypeList<std::remove_cvref_t<decltype(a)>, std::remove_cvref_t<decltype(b)>,
                    std::remove_cvref_t<decltype(c)>, std::remove_cvref_t<decltype(d)>,
                    std::remove_cvref_t<decltype(e)>>{};
  }
}

// The types of the fields of the struct `T`, in order.
template <class T>
using FieldsOf = decltype(fieldTypes(std::declval<T&>()));

template <class T>
struct IsHandle : std::false_type {};
template <class... Alts>
struct IsHandle<Node<Alts...>> : std::true_type {};
template <class T>
struct IsHandle<List<T>> : std::true_type {};

template <class T>
constexpr bool kOneWord = IsHandle<T>::value || std::is_same_v<T, TreeString> ||
                          std::is_enum_v<T> || std::is_same_v<T, std::int32_t>;

template <class T>
constexpr std::size_t wordsOf();
template <class... Fields>
constexpr std::size_t wordsOfAll(TypeList<Fields...>) {
  return (std::size_t{0} + ... + wordsOf<Fields>());
}
// The number of words a field of type `T` takes.
template <class T>
constexpr std::size_t wordsOf() {
  if constexpr (kOneWord<T>) {
    return 1;
  } else {
    return wordsOfAll(FieldsOf<T>{});
  }
}

struct Codec {
  // The value of type `T` whose words start at `cursor`, which moves past them.
  template <class T>
  static T field(const TreeStore& store, const Word*& cursor) {
    if constexpr (IsHandle<T>::value) {
      return T(store, *cursor++);
    } else if constexpr (std::is_same_v<T, TreeString>) {
      return store.string(*cursor++);
    } else if constexpr (std::is_enum_v<T> || std::is_same_v<T, std::int32_t>) {
      return static_cast<T>(*cursor++);
    } else {
      return fields<T>(store, cursor, FieldsOf<T>{});
    }
  }

  template <class T, class... Fields>
  static T fields(const TreeStore& store, const Word*& cursor, TypeList<Fields...>) {
    return T{field<Fields>(store, cursor)...};  // braced: evaluated in order
  }

  // The struct `Alt` of the node at `at`.
  template <class Alt>
  static Alt node(const TreeStore& store, Word at) {
    const Word* cursor = store.at(at) + 1;
    return fields<Alt>(store, cursor, FieldsOf<Alt>{});
  }
};

}  // namespace storage

template <class... Alts>
typename Node<Alts...>::Variant Node<Alts...>::variant() const {
  if (built_) return *built_;
  using Unpack = Variant (*)(const TreeStore&, Word);
  static constexpr Unpack kUnpack[] = {[](const TreeStore& store, Word at) -> Variant {
    return storage::Codec::node<Alts>(store, at);
  }...};
  return kUnpack[tag()](*store_, at_);
}

template <class... Alts>
template <class Alt>
std::optional<Alt> Node<Alts...>::get_if() const {
  if (!is<Alt>()) return std::nullopt;
  if (built_) return std::get<Alt>(*built_);
  return storage::Codec::node<Alt>(*store_, at_);
}

template <class T>
T List<T>::operator[](std::size_t i) const {
  if (built_) return (*built_)[i];
  const Word* cursor = store_->at(at_) + 1 + i * storage::wordsOf<T>();
  return storage::Codec::field<T>(*store_, cursor);
}

}  // namespace vrel::ast
