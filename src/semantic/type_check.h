// The static type rules of Vrel, checked while the program is translated.
//
// Scalars are int and byte, and values of the two mix freely. An array is a one-dimensional array
// of a scalar; a string constant is a byte array. A failed rule throws CompileError with a message
// in Vrel terms that names the function, the variable or the argument position.
#pragma once

#include <cstddef>
#include <string>

#include "ast/tree.h"

namespace vrel {

// A value's type as the rules see it: a scalar, or an array of a scalar.
struct ValueType {
  ast::DataType scalar;  // the scalar itself, or the array's element
  bool isArray;
  bool operator==(const ValueType&) const = default;
};

// The type of arithmetic.
inline constexpr ValueType kIntValue{ast::DataType::Dinteger, false};

// The rules' view of the type of an operand (see operand.h), a parameter or a result.
ValueType valueType(const ast::Type& type);

// A function's header, once its parameters are declared: no array result, no array of arrays as
// a parameter, and for the main function no parameters and no library routine's name.
void checkHeader(const ast::FuncDef& func, bool isMain);

// An array has 1 to 2147483647 elements; `oversized` is the size as written when it is more.
void checkVarDef(const ast::VarDef& var, const std::string* oversized = nullptr);

// The type of an element of the variable `name`, of type `type`, when it is indexed.
ValueType elementType(const ast::Type& type, const ast::Name& name);

// `expr`, of type `type`, is used where only a scalar can stand.
void requireScalar(ValueType type, const ast::Expr& expr);

// The target of an assignment, of type `type`: a scalar variable or an array element.
void checkAssignment(const ast::LValue& target, ValueType type);

// A return statement in `func`, with or without a value.
void checkReturn(const ast::FuncDef& func, bool hasValue);

// The argument `arg` of type `type` at `position` (from 1) of a call of `callee`, for a parameter
// of the type `param`, passed by reference when `byRef`.
void checkArgument(const ast::Name& callee, std::size_t position, const ast::Type& param,
                   bool byRef, const ast::Expr& arg, ValueType type);

}  // namespace vrel
