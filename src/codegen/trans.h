// The translation of a program's functions, statements and expressions into C text, appended to
// the generator state. Declarations update the state's table; everything else only queries it.
#pragma once

#include <vector>

#include "ast/tree.h"
#include "codegen/gen_state.h"

namespace vrel {

void transProg(GenState& state, const ast::Prog& prog);
void transFunc(GenState& state, const ast::FuncDef& func);

void transStmt(GenState& state, const ast::Stmt& stmt);
void transCond(GenState& state, const ast::Cond& cond);
void transExpr(GenState& state, const ast::Expr& expr);
void transLValue(GenState& state, const ast::LValue& lvalue);

// The callee's name and arguments up to, not including, the closing parenthesis.
ast::RetType transCall(GenState& state, const ast::FuncCall& call);

}  // namespace vrel
