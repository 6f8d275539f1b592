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
                          ast::Type array = valType(table, ind.value);
                          auto arr = array.get_if<ast::TArr>();
                          if (!arr) throw CompileError("invalid type for indirection");
                          return arr->element;
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
  return std::visit(
      Overloaded{
          [](const C_int&) -> ast::Type { return ast::TPrim{ast::DataType::Dinteger}; },
          [](const C_char&) -> ast::Type { return ast::TPrim{ast::DataType::Dbyte}; },
          [](const C_str&) -> ast::Type { return ast::TArr{ast::TPrim{ast::DataType::Dbyte}}; },
      },
      constant.variant());
}

}  // namespace vrel
