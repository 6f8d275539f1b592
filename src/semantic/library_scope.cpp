#include "semantic/library_scope.h"

#include <algorithm>
#include <array>

namespace vrel {
namespace {

using namespace ast;

constexpr bool kRef = true;
constexpr bool kVal = false;

RetType nothing() {
  return Rnothing{};
}
RetType returns(DataType data) {
  return Rtype{TPrim{data}};
}

constexpr std::array<std::string_view, 14> kRoutineNames{
    "strcat",   "strcpy",   "strcmp",      "strlen",      "shrink",    "extend",    "readString",
    "readChar", "readByte", "readInteger", "writeString", "writeChar", "writeByte", "writeInteger",
};

}  // namespace

std::shared_ptr<Scope> makeLibraryScope() {
  auto scope = std::make_shared<Scope>();
  scope->funcs = {
      {"strcat", {{kRef, kRef}, nothing()}},
      {"strcpy", {{kRef, kRef}, nothing()}},
      {"strcmp", {{kRef, kRef}, returns(DataType::Dinteger)}},
      {"strlen", {{kRef}, returns(DataType::Dinteger)}},
      {"shrink", {{kVal}, returns(DataType::Dbyte)}},
      {"extend", {{kVal}, returns(DataType::Dinteger)}},
      {"readString", {{kVal, kRef}, nothing()}},
      {"readChar", {{}, returns(DataType::Dbyte)}},
      {"readByte", {{}, returns(DataType::Dbyte)}},
      {"readInteger", {{}, returns(DataType::Dinteger)}},
      {"writeString", {{kRef}, nothing()}},
      {"writeChar", {{kVal}, nothing()}},
      {"writeByte", {{kVal}, nothing()}},
      {"writeInteger", {{kVal}, nothing()}},
  };
  return scope;
}

bool isLibraryRoutineName(std::string_view name) {
  return std::find(kRoutineNames.begin(), kRoutineNames.end(), name) != kRoutineNames.end();
}

}  // namespace vrel
