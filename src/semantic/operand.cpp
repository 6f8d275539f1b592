#include "semantic/operand.h"

#include <string>

#include "support/compile_error.h"
#include "support/overloaded.h"

namespace vrel {

bool objRef(const SymbolTable& table, const Obj& obj) {
  return std::visit(
      Overloaded{
          [&](const O_var& var) { return lookupVar(table, var.name).byRef; },
          [](const O_ind&) -> bool { throw CompileError("invalid indirection in objRef"); },
          [](const O_temp&) { return false; },
      },
      obj.variant());
}

ast::Type valType(const SymbolTable& table, const Value& value) {
  return std::visit(Overloaded{
                        [&](const V_obj& v) { return objType(table, v.obj); },
                        [](const V_const& v) { return constType(v.constant); },
                    },
                    value.variant());
}

ast::Type objType(const SymbolTable& table, const Obj& obj) {
  return std::visit(Overloaded{
                        [&](const O_var& var) { return lookupVar(table, var.name).type; },
                        [&](const O_ind& ind) {
                          std::optional<ast::Type> element = elementOf(valType(table, ind.value));
                          if (!element) throw CompileError("invalid type for indirection");
                          return *element;
                        },
                        [&](const O_temp& temp) -> ast::Type {
                          for (const Scope* scope = &table.innermost(); scope;
                               scope = scope->pt.get()) {
                            auto found = scope->temps.find(temp.number);
                            if (found != scope->temps.end()) return found->second.type;
                          }
                          throw CompileError("undefined temporary $" + std::to_string(temp.number));
                        },
                    },
                    obj.variant());
}

ast::Type constType(const Const& constant) {
  return std::visit([](const auto& c) { return constType(c); }, constant.variant());
}

}  // namespace vrel
