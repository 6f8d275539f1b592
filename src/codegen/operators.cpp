#include "codegen/operators.h"

#include "support/compile_error.h"

namespace vrel {

using ast::BinOp;
using ast::LogOp;
using ast::RelOp;

std::string_view binOpText(BinOp op) {
  switch (op) {
    case BinOp::BOplus:
      return "+ ";
    case BinOp::BOminus:
      return "- ";
    case BinOp::BOtimes:
      return "* ";
    case BinOp::BOdiv:
      return "/ ";
    case BinOp::BOmod:
      return "% ";
    default:
      throw CompileError("unsupported operator in expression");
  }
}

std::string_view checkedOpName(BinOp op) {
  switch (op) {
    case BinOp::BOplus:
      return "vrel_add";
    case BinOp::BOminus:
      return "vrel_sub";
    case BinOp::BOtimes:
      return "vrel_mul";
    case BinOp::BOdiv:
      return "vrel_div";
    case BinOp::BOmod:
      return "vrel_mod";
    default:
      return "";
  }
}

std::string_view relOpText(RelOp op) {
  switch (op) {
    case RelOp::ROeq:
      return "== ";
    case RelOp::ROne:
      return "!= ";
    case RelOp::ROlt:
      return "< ";
    case RelOp::ROgt:
      return "> ";
    case RelOp::ROle:
      return "<= ";
    case RelOp::ROge:
      return ">= ";
  }
  return "";
}

std::string_view logOpText(LogOp op) {
  switch (op) {
    case LogOp::LOand:
      return "&& ";
    case LogOp::LOor:
      return "|| ";
  }
  return "";
}

}  // namespace vrel
