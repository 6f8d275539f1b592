#include "semantic/library_scope.h"

#include <algorithm>
#include <array>
#include <initializer_list>

namespace vrel {
namespace {

using namespace ast;

constexpr std::array<std::string_view, 14> kRoutineNames{
    "strcat",   "strcpy",   "strcmp",      "strlen",      "shrink",    "extend",    "readString",
    "readChar", "readByte", "readInteger", "writeString", "writeChar", "writeByte", "writeInteger",
};

struct RoutineParam {
  bool byRef;
  Type type;
};

FuncSig signature(std::initializer_list<RoutineParam> params, RetType result) {
  FuncSig sig{{}, {}, std::move(result)};
  for (const RoutineParam& param : params) {
    sig.paramModes.push_back(param.byRef);
    sig.paramTypes.push_back(param.type);
  }
  return sig;
}

}  // namespace

std::shared_ptr<Scope> makeLibraryScope() {
  const Type integer = TPrim{DataType::Dinteger};
  const Type byte = TPrim{DataType::Dbyte};
  const Type bytes = TArr{byte};
  const RoutineParam intVal{false, integer};
  const RoutineParam byteVal{false, byte};
  const RoutineParam bytesRef{true, bytes};
  const RetType nothing = Rnothing{};
  auto scope = std::make_shared<Scope>();
  scope->funcs = {
      {"strcat", signature({bytesRef, bytesRef}, nothing)},
      {"strcpy", signature({bytesRef, bytesRef}, nothing)},
      {"strcmp", signature({bytesRef, bytesRef}, Rtype{integer})},
      {"strlen", signature({bytesRef}, Rtype{integer})},
      {"shrink", signature({intVal}, Rtype{byte})},
      {"extend", signature({byteVal}, Rtype{integer})},
      {"readString", signature({intVal, bytesRef}, nothing)},
      {"readChar", signature({}, Rtype{byte})},
      {"readByte", signature({}, Rtype{byte})},
      {"readInteger", signature({}, Rtype{integer})},
      {"writeString", signature({bytesRef}, nothing)},
      {"writeChar", signature({byteVal}, nothing)},
      {"writeByte", signature({byteVal}, nothing)},
      {"writeInteger", signature({intVal}, nothing)},
  };
  return scope;
}

bool isLibraryRoutineName(std::string_view name) {
  return std::find(kRoutineNames.begin(), kRoutineNames.end(), name) != kRoutineNames.end();
}

}  // namespace vrel
