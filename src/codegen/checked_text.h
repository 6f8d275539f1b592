// The C text that only a checked build (-g) writes: line directives, frame records, the counts
// that travel with arrays, and the checked main wrapper. Array variables and parameters get a
// companion "vrel_n_" + name, their number of elements, which C scoping keeps beside them.
#pragma once

#include <optional>
#include <string_view>

#include "ast/tree.h"
#include "codegen/gen_state.h"

namespace vrel {

// Where `at` stands, when the checked build knows the source's lines.
LineSpan sourceLines(const GenState& state, const std::optional<NodeRef>& at);

// "#line N" before the next line, naming the source the first time; nothing for an unknown line.
void emitLineDirective(GenState& state, int line);

// The line directive of a statement and the update of its function's frame record.
void emitStatementLine(GenState& state, const ast::Stmt& stmt);

// After the header: the frame record of `func`, which stands at `lines`.
void emitFrame(GenState& state, const ast::FuncDef& func, LineSpan lines);

// The end of the function body at the line of the function's end: the missing-return check of a
// function with a result other than the main function, whose result nothing uses, then the
// closing brace.
void emitCheckedFunctionEnd(GenState& state, const ast::FuncDef& func, bool isMain, LineSpan lines);

// A local array of elements of the C type `element`, placed on the stack once its room is
// checked.
void emitCheckedArray(GenState& state, const ast::VarDef& var, std::string_view element);

// The hidden arguments after an array argument: its count, and for a library routine its name
// (0 for a string constant).
void emitArrayCount(GenState& state, const ast::Expr& arg, bool library);

// The C main of a checked build, on the main function's first line: it sets up the run-time
// support, calls the main function and writes out the output.
void emitCheckedMain(GenState& state, const ast::Name& mainName, LineSpan lines);

// A C string constant holding `text`.
void emitCString(GenState& state, std::string_view text);

}  // namespace vrel
