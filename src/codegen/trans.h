// The translation of a program's functions, statements and expressions into C text, appended to
// the generator state, with the type rules checked on the way. Declarations update the state's
// table; everything else only queries it.
#pragma once

#include <optional>

#include "ast/tree.h"
#include "codegen/gen_state.h"
#include "semantic/type_check.h"

namespace vrel {

void transProg(GenState& state, const ast::Prog& prog);
// `at` is where the source defines the function.
void transFunc(GenState& state, const ast::FuncDef& func, std::optional<NodeRef> at);

void transStmt(GenState& state, const ast::Stmt& stmt);
void transCond(GenState& state, const ast::Cond& cond);

// These answer the type of what they translated.
ValueType transExpr(GenState& state, const ast::Expr& expr);
ValueType transLValue(GenState& state, const ast::LValue& lvalue);

// The callee's name and arguments up to, not including, the closing parenthesis; answers the
// callee's result, which lives as long as the state's table.
const ast::RetType& transCall(GenState& state, const ast::FuncCall& call);

}  // namespace vrel
