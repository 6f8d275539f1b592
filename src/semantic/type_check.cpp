#include "semantic/type_check.h"

#include <optional>
#include <string>

#include "ast/source_map.h"
#include "semantic/library_scope.h"
#include "semantic/operand.h"
#include "support/compile_error.h"

namespace vrel {
namespace {

using namespace ast;

bool isArrayOfArrays(const Type& type) {
  auto array = type.get_if<TArr>();
  return array && array->element.is<TArr>();
}

Expr withoutParentheses(Expr expr) {
  while (auto paren = expr.get_if<Eparen>()) expr = paren->expr;
  return expr;
}

// Only a variable and a string constant, possibly in parentheses, can have an array type.
std::string describeArray(const Expr& expr) {
  auto elval = withoutParentheses(expr).get_if<Elval>();
  auto variable = elval ? elval->lvalue.get_if<LPrim>() : std::nullopt;
  return variable ? "array " + variable->name : "string constant";
}

// A variable or an array element, possibly in parentheses: what a reference can point to.
bool isAddressable(const Expr& expr) {
  auto elval = withoutParentheses(expr).get_if<Elval>();
  return elval && !elval->lvalue.is<Lstr>();
}

std::string scalarName(DataType data) {
  return data == DataType::Dinteger ? "an int" : "a byte";
}

// An error about `at`, which the message names.
[[noreturn]] void failAt(const std::optional<NodeRef>& at, const std::string& message) {
  CompileError error(message);
  error.placeAt(at);
  throw error;
}

std::string argument(const Name& callee, std::size_t position) {
  return "argument " + std::to_string(position) + " of " + callee;
}

}  // namespace

ValueType valueType(const Type& type) {
  if (auto prim = type.get_if<TPrim>()) return {prim->data, false};
  return {valueType(type.get_if<TArr>()->element).scalar, true};
}

void checkHeader(const FuncDef& func, bool isMain) {
  if (isMain && !func.params.empty()) {
    throw CompileError("main function " + func.name + " cannot have parameters");
  }
  if (isMain && isLibraryRoutineName(func.name)) {
    throw CompileError("main function " + func.name + " is named like a library routine");
  }
  for (const Param& param : func.params) {
    if (isArrayOfArrays(param.type)) {
      failAt(refOf(param),
             "parameter " + param.name + " of " + func.name + " is an array of arrays");
    }
  }
  auto result = func.result.get_if<Rtype>();
  if (result && result->type.is<TArr>()) {
    throw CompileError("function " + func.name + " cannot return an array");
  }
}

void checkVarDef(const VarDef& var, const std::string* oversized) {
  if (oversized != nullptr) {
    throw CompileError("array " + var.name + " has " + *oversized +
                       " elements; an array has 1 to 2147483647");
  }
  if (var.type.is<TArr>() && var.size <= 0) {
    throw CompileError("array " + var.name + " must have at least one element");
  }
}

// An element is a scalar: the rules know arrays of scalars only, and a parameter declared an
// array of arrays is refused with its function's header.
ValueType elementType(const Type& type, const Name& name) {
  std::optional<Type> element = elementOf(type);
  if (!element) throw CompileError("variable " + name + " is not an array");
  return {valueType(*element).scalar, false};
}

void requireScalar(ValueType type, const Expr& expr) {
  if (type.isArray) failAt(refOf(expr), describeArray(expr) + " used as a scalar");
}

void checkAssignment(const LValue& target, ValueType type) {
  if (target.is<Lstr>()) failAt(refOf(target), "cannot assign to a string constant");
  if (type.isArray) failAt(refOf(target), "cannot assign to array " + target.get_if<LPrim>()->name);
}

void checkReturn(const FuncDef& func, bool hasValue) {
  bool isProcedure = func.result.is<Rnothing>();
  if (hasValue && isProcedure) {
    throw CompileError("return with a value in procedure " + func.name);
  }
  if (!hasValue && !isProcedure) {
    throw CompileError("return without a value in function " + func.name);
  }
}

void checkArgument(const Name& callee, std::size_t position, const Type& param, bool byRef,
                   const Expr& arg, ValueType type) {
  ValueType wanted = valueType(param);
  if (wanted.isArray) {
    if (!type.isArray || type.scalar != wanted.scalar) {
      failAt(refOf(arg),
             argument(callee, position) + " must be " + scalarName(wanted.scalar) + " array");
    }
    if (arg.is<Eparen>()) {
      failAt(refOf(arg), argument(callee, position) + " must not be in parentheses");
    }
  } else if (!byRef) {
    if (type.isArray) failAt(refOf(arg), argument(callee, position) + " must be a scalar");
  } else if (type != wanted || !isAddressable(arg)) {
    std::string scalar = scalarName(wanted.scalar);
    failAt(refOf(arg), argument(callee, position) + " must be " + scalar +
                           " variable or an element of " + scalar + " array");
  }
}

}  // namespace vrel
