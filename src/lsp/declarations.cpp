#include "lsp/declarations.h"

#include <array>
#include <memory>

#include "semantic/library_scope.h"

namespace vrel::lsp {
namespace {

using namespace ast;

struct RoutineWords {
  std::string_view name;
  std::array<std::string_view, 2> params;
  std::string_view summary;
};

// The parameters' names and the sentence the language guide gives each routine.
constexpr std::array<RoutineWords, 14> kRoutines{{
    {"writeInteger", {"n"}, "Prints n in decimal, with a minus sign if negative."},
    {"writeByte", {"b"}, "Prints b in decimal, 0 to 255."},
    {"writeChar", {"b"}, "Prints the byte b as it is (a character)."},
    {"writeString", {"s"}, "Prints the bytes of s up to its first zero byte."},
    {"readInteger",
     {},
     "Skips blanks and line ends, reads an optional sign and decimal digits, and returns the "
     "number."},
    {"readByte",
     {},
     "Skips blanks and line ends, reads a decimal number and returns it modulo 256."},
    {"readChar",
     {},
     "Reads the next byte of the input, whatever it is (blank and line end included)."},
    {"readString",
     {"n", "s"},
     "Reads one line into s: at most n-1 bytes, up to and including its line end; s then ends in "
     "a zero byte."},
    {"extend", {"b"}, "The value of b as an int (0 to 255)."},
    {"shrink", {"i"}, "The low byte of i (i modulo 256)."},
    {"strlen", {"s"}, "The number of bytes before the first zero byte."},
    {"strcmp",
     {"s1", "s2"},
     "Compares byte by byte: negative if s1 comes first, 0 if equal, positive if s1 comes "
     "after."},
    {"strcpy", {"trg", "src"}, "Copies src with its zero byte into trg."},
    {"strcat", {"trg", "src"}, "Appends src with its zero byte to the string in trg."},
}};

std::string dataText(DataType data) {
  return data == DataType::Dinteger ? "int" : "byte";
}

std::string paramText(std::string_view name, const Type& type, bool byRef) {
  return std::string(name) + " : " + (byRef ? "reference " : "") + typeText(type);
}

}  // namespace

std::string typeText(const Type& type) {
  if (auto prim = type.get_if<TPrim>()) return dataText(prim->data);
  return typeText(type.get_if<TArr>()->element) + " []";
}

std::string resultText(const RetType& result) {
  if (auto type = result.get_if<Rtype>()) return typeText(type->type);
  return "proc";
}

std::string paramText(const Param& param) {
  return paramText(param.name, param.type, param.mode == PassMode::ByRef);
}

std::string varText(const VarDef& var) {
  std::string text = std::string(var.name) + " : ";
  if (auto array = var.type.get_if<TArr>(); array && var.size > 0) {
    return text + typeText(array->element) + " [" + std::to_string(var.size) + "]";
  }
  return text + typeText(var.type);
}

std::string headerText(const FuncDef& func) {
  std::string text = std::string(func.name) + "(";
  for (std::size_t i = 0; i < func.params.size(); ++i) {
    text += (i > 0 ? ", " : "") + paramText(func.params[i]);
  }
  return text + ") : " + resultText(func.result);
}

std::optional<RoutineDoc> routineDoc(std::string_view name) {
  static const std::shared_ptr<const Scope> library = makeLibraryScope();
  const Declared<FuncSig>* declared = library->funcs.find(name);
  const RoutineWords* words = nullptr;
  for (const RoutineWords& routine : kRoutines) {
    if (routine.name == name) words = &routine;
  }
  if (!declared || !words) return std::nullopt;
  const FuncSig& sig = declared->entry;
  RoutineDoc doc{std::string(name) + "(", words->summary, {}, sig.paramModes, sig.result};
  for (std::size_t i = 0; i < sig.paramTypes.size(); ++i) {
    doc.params.push_back(paramText(words->params[i], sig.paramTypes[i], sig.paramModes[i]));
    doc.header += (i > 0 ? ", " : "") + doc.params.back();
  }
  doc.header += ") : " + resultText(sig.result);
  return doc;
}

}  // namespace vrel::lsp
