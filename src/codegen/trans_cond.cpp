#include "ast/source_map.h"
#include "codegen/operators.h"
#include "codegen/trans.h"
#include "support/compile_error.h"
#include "support/overloaded.h"

namespace vrel {

using namespace ast;

namespace {

bool isOr(const Cond& cond) {
  auto logop = cond.get_if<Blogop>();
  return logop && logop->op == LogOp::LOor;
}

// An operand whose grouping C would otherwise change is written in parentheses.
void transGrouped(GenState& state, const Cond& cond, bool group) {
  if (!group) return transCond(state, cond);
  emit(state, "(");
  transCond(state, cond);
  emit(state, ")");
}

}  // namespace

void transCond(GenState& state, const Cond& cond) try {
  std::visit(Overloaded{
                 [&](const Btrue&) { emit(state, "1 "); },
                 [&](const Bfalse&) { emit(state, "0 "); },
                 [&](const Brelop& c) {
                   requireScalar(transExpr(state, c.left), c.left);
                   emit(state, relOpText(c.op));
                   requireScalar(transExpr(state, c.right), c.right);
                 },
                 [&](const Blogop& c) {
                   // "&&" binds tighter than "||": an "or" under an "and" keeps its parentheses.
                   bool groupOr = c.op == LogOp::LOand;
                   transGrouped(state, c.left, groupOr && isOr(c.left));
                   emit(state, logOpText(c.op));
                   transGrouped(state, c.right, groupOr && isOr(c.right));
                 },
                 [&](const Bnot& c) {
                   // "!" binds tighter than any binary operator: negate a comparison or a
                   // connective as a whole.
                   emit(state, "!");
                   transGrouped(state, c.cond, c.cond.is<Brelop>() || c.cond.is<Blogop>());
                 },
             },
             cond.variant());
} catch (CompileError& error) {
  error.placeAt(refOf(cond));
  throw;
}

}  // namespace vrel
