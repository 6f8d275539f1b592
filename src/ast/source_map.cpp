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

SourceMap::SourceMap(std::vector<SourceSpan> positions, NodeIndex index)
    : positions_(std::move(positions)),
      index_(std::move(index)),
      runs_(index_.nodes, [](const NodeIndex::Entry& e) { return e.node; }) {}

std::optional<SourceSpan> SourceMap::span(const NodeRef& ref) const {
  std::uint64_t name = ref.after;
  if (ref.node) {
    auto [first, last] = runs_.run(*ref.node);
    auto end = index_.nodes.begin() + last;
    auto entry = std::find_if(index_.nodes.begin() + first, end,
                              [&](const NodeIndex::Entry& e) { return e.node == *ref.node; });
    if (entry == end) return std::nullopt;
    name += entry->name;
  }
  if (name >= positions_.size()) return std::nullopt;
  return positions_[name];
}

}  // namespace vrel::ast
