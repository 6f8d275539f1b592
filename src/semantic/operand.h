// Operands as the C generator describes them, and the queries on their types.
#pragma once

#include <cstdint>

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

// Whether the object is a by-reference parameter.
bool objRef(const SymbolTable& table, const Obj& obj);

ast::Type valType(const SymbolTable& table, const Value& value);
ast::Type objType(const SymbolTable& table, const Obj& obj);
ast::Type constType(const Const& constant);

}  // namespace vrel
