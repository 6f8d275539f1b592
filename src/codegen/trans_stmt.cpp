#include "ast/source_map.h"
#include "codegen/trans.h"
#include "support/compile_error.h"
#include "support/overloaded.h"

namespace vrel {

using namespace ast;

// Braces come only from if, while and the function itself; a block writes its statements.
void transStmt(GenState& state, const Stmt& stmt) try {
  std::visit(Overloaded{
                 [&](const Sassign& s) {
                   checkAssignment(s.target, transLValue(state, s.target));
                   emit(state, "= ");
                   requireScalar(transExpr(state, s.value), s.value);
                   emit(state, ";\n");
                 },
                 [](const Sskip&) {},
                 [&](const Sblock& s) {
                   for (const Stmt& inner : s.stmts) transStmt(state, inner);
                 },
                 [&](const Scall& s) {
                   const RetType& result = transCall(state, s.call);
                   emit(state, ");\n");
                   if (result.is<Rtype>()) {
                     throw CompileError("invalid call to non-procedure " + s.call.name);
                   }
                 },
                 [&](const Sif& s) {
                   emit(state, "if (");
                   transCond(state, s.cond);
                   emit(state, ") {\n");
                   transStmt(state, s.then);
                   emit(state, "}\n");
                 },
                 [&](const Sifelse& s) {
                   emit(state, "if (");
                   transCond(state, s.cond);
                   emit(state, ") {\n");
                   transStmt(state, s.then);
                   emit(state, "}\nelse {\n");
                   transStmt(state, s.otherwise);
                   emit(state, "}\n");
                 },
                 [&](const Swhile& s) {
                   emit(state, "while (");
                   transCond(state, s.cond);
                   emit(state, ") {\n");
                   transStmt(state, s.body);
                   emit(state, "}\n");
                 },
                 [&](const Sreturn& s) {
                   auto e = s.value.get_if<EOexpr>();
                   checkReturn(*state.function, e.has_value());
                   if (e) {
                     emit(state, "return ");
                     requireScalar(transExpr(state, e->expr), e->expr);
                     emit(state, ";\n");
                   } else {
                     emit(state, "return;\n");
                   }
                 },
             },
             stmt.variant());
} catch (CompileError& error) {
  error.placeAt(refOf(stmt));
  throw;
}

}  // namespace vrel
