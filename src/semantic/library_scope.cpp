#include "semantic/library_scope.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <optional>

namespace vrel {
namespace {

using namespace ast;

// A parameter or result of a runtime routine: a scalar, or a byte array.
struct RoutineType {
  DataType scalar;
  bool isArray;
};

struct RoutineParam {
  bool byRef;
  RoutineType type;
};

struct Routine {
  std::string_view name;
  std::array<RoutineParam, 2> params;
  std::size_t paramCount;
  std::optional<RoutineType> result;  // none for a procedure
};

constexpr RoutineType kInteger{DataType::Dinteger, false};
constexpr RoutineType kByte{DataType::Dbyte, false};
constexpr RoutineParam kIntVal{false, kInteger};
constexpr RoutineParam kByteVal{false, kByte};
constexpr RoutineParam kBytesRef{true, {DataType::Dbyte, true}};
constexpr RoutineParam kNone{};

constexpr std::array<Routine, 14> kRoutines{{
    {"strcat", {kBytesRef, kBytesRef}, 2, std::nullopt},
    {"strcpy", {kBytesRef, kBytesRef}, 2, std::nullopt},
    {"strcmp", {kBytesRef, kBytesRef}, 2, kInteger},
    {"strlen", {kBytesRef, kNone}, 1, kInteger},
    {"shrink", {kIntVal, kNone}, 1, kByte},
    {"extend", {kByteVal, kNone}, 1, kInteger},
    {"readString", {kIntVal, kBytesRef}, 2, std::nullopt},
    {"readChar", {kNone, kNone}, 0, kByte},
    {"readByte", {kNone, kNone}, 0, kByte},
    {"readInteger", {kNone, kNone}, 0, kInteger},
    {"writeString", {kBytesRef, kNone}, 1, std::nullopt},
    {"writeChar", {kByteVal, kNone}, 1, std::nullopt},
    {"writeByte", {kByteVal, kNone}, 1, std::nullopt},
    {"writeInteger", {kIntVal, kNone}, 1, std::nullopt},
}};

Type treeType(RoutineType type) {
  Type scalar = TPrim{type.scalar};
  return type.isArray ? Type{TArr{scalar}} : scalar;
}

FuncSig signature(const Routine& routine) {
  FuncSig sig{{}, {}, Rnothing{}};
  for (std::size_t i = 0; i < routine.paramCount; ++i) {
    sig.paramModes.push_back(routine.params[i].byRef);
    sig.paramTypes.push_back(treeType(routine.params[i].type));
  }
  if (routine.result) sig.result = Rtype{treeType(*routine.result)};
  return sig;
}

}  // namespace

std::shared_ptr<Scope> makeLibraryScope() {
  auto scope = std::make_shared<Scope>();
  for (const Routine& routine : kRoutines) {
    scope->funcs.insert(routine.name, {signature(routine), 0});
  }
  return scope;
}

bool isLibraryRoutineName(std::string_view name) {
  return std::any_of(kRoutines.begin(), kRoutines.end(),
                     [&](const Routine& routine) { return routine.name == name; });
}

}  // namespace vrel
