// The tree of a Vrel program: immutable values, children shared, equality structural.
//
// Every type with several constructors is a `Node<...>`, a cheap handle to an immutable
// std::variant of constructor structs listed in their declared order (the variant index is the
// constructor's tag). Copying a handle never copies the tree below it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <type_traits>
#include <utility>
#include <variant>
#include <vector>

namespace vrel::ast {

// A handle to one immutable node holding one of the constructor structs `Alts`.
template <class... Alts>
class Node {
 public:
  using Variant = std::variant<Alts...>;

  template <class Alt, class = std::enable_if_t<(std::is_same_v<std::decay_t<Alt>, Alts> || ...)>>
  Node(Alt alt) : node_(std::make_shared<const Variant>(std::move(alt))) {}

  const Variant& variant() const { return *node_; }
  std::size_t tag() const { return node_->index(); }
  template <class Alt>
  const Alt* get_if() const {
    return std::get_if<Alt>(node_.get());
  }
  template <class Alt>
  bool is() const {
    return std::holds_alternative<Alt>(*node_);
  }

  friend bool operator==(const Node& a, const Node& b) {
    return a.node_ == b.node_ || *a.node_ == *b.node_;
  }

 private:
  std::shared_ptr<const Variant> node_;
};

using Name = std::string;  // an identifier exactly as written
using Text = std::string;  // decoded bytes of a character or string constant

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
  std::vector<Expr> args;
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
  std::vector<Stmt> stmts;
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
  std::vector<Param> params;
  std::vector<LocalDef> locals;
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
  bool operator==(const Prog&) const = default;
};

}  // namespace vrel::ast
