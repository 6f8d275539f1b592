// Operands as the C generator describes them, and the queries on their types.
//
// The queries on whole operands (`Value`, `Obj`, `Const`) are built on the symbol table's
// variable lookup and on the pieces below: the indirection, the type of each kind of constant and
// which objects are held through a pointer. The type rules and the C generator use the same
// pieces on the variables and constants they meet in the tree, so no `Value` is built on the way.
#pragma once

#include <cstdint>
#include <optional>

#include "ast/tree.h"
#include "semantic/symbol_table.h"

namespace vrel {

struct V_obj;
struct V_const;
using Value = ast::Node<V_obj, V_const>;

struct O_var;
struct O_ind;
struct O_temp;
using Obj = ast::Node<O_var, O_ind, O_temp>;

struct C_int;
struct C_char;
struct C_str;
using Const = ast::Node<C_int, C_char, C_str>;

struct O_var {
  ast::Name name;
  bool operator==(const O_var&) const = default;
};
struct O_ind {
  Value value;  // an array-valued operand; the object is its element
  bool operator==(const O_ind&) const = default;
};
struct O_temp {
  std::int32_t number;
  bool operator==(const O_temp&) const = default;
};

struct C_int {
  std::int32_t value;
  bool operator==(const C_int&) const = default;
};
struct C_char {
  ast::Text text;
  bool operator==(const C_char&) const = default;
};
struct C_str {
  ast::Text text;
  bool operator==(const C_str&) const = default;
};

struct V_obj {
  Obj obj;
  bool operator==(const V_obj&) const = default;
};
struct V_const {
  Const constant;
  bool operator==(const V_const&) const = default;
};

// The type of the element that an indirection reaches through an operand of type `array`: one
// array level less. Nothing when `array` is a scalar.
inline std::optional<ast::Type> elementOf(const ast::Type& array) {
  auto arr = array.get_if<ast::TArr>();
  if (!arr) return std::nullopt;
  return arr->element;
}

// A character constant has the type of a byte, a string constant that of a byte array.
inline const ast::Type& constType(const C_int&) {
  static const ast::Type type = ast::TPrim{ast::DataType::Dinteger};
  return type;
}
inline const ast::Type& constType(const C_char&) {
  static const ast::Type type = ast::TPrim{ast::DataType::Dbyte};
  return type;
}
inline const ast::Type& constType(const C_str&) {
  static const ast::Type type = ast::TArr{constType(C_char{})};
  return type;
}

// Whether an object of type `type`, passed by reference when `byRef`, is held through a pointer:
// a by-reference scalar is; an array never is, for C passes an array as its address already.
inline bool heldByPointer(const ast::Type& type, bool byRef) {
  return byRef && type.is<ast::TPrim>();
}

// Whether the object is a by-reference parameter.
bool objRef(const SymbolTable& table, const Obj& obj);

ast::Type valType(const SymbolTable& table, const Value& value);
ast::Type objType(const SymbolTable& table, const Obj& obj);
ast::Type constType(const Const& constant);

}  // namespace vrel
