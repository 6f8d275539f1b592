#include "ast/source_map.h"

#include <algorithm>

namespace vrel::ast {
namespace {

// The constructor names of a type's text: "TArr" for each level, then "TPrim" and the scalar.
std::uint32_t namesOf(const Type& type) {
  std::uint32_t names = 2;
  Type element = type;
  while (auto array = element.get_if<TArr>()) {
    element = array->element;
    ++names;
  }
  return names;
}

}  // namespace

std::optional<NodeRef> refOf(const Param& param) {
  if (!param.type.storeIndex()) return std::nullopt;
  return NodeRef{param.type.storeIndex(), namesOf(param.type)};
}

std::optional<SourceSpan> SourceMap::span(const NodeRef& ref) const {
  std::uint64_t name = ref.after;
  if (ref.node) {
    auto entry = std::lower_bound(
        index_.nodes.begin(), index_.nodes.end(), *ref.node,
        [](const NodeIndex::Entry& e, std::uint32_t node) { return e.node < node; });
    if (entry == index_.nodes.end() || entry->node != *ref.node) return std::nullopt;
    name += entry->name;
  }
  if (name >= positions_.size()) return std::nullopt;
  return positions_[name];
}

}  // namespace vrel::ast
