#include "lsp/json_access.h"

#include <limits>

namespace vrel::lsp {

const Json* member(const Json& value, std::string_view key) {
  if (!value.is_object()) return nullptr;
  auto found = value.find(key);
  return found == value.end() ? nullptr : &*found;
}

std::optional<std::string> stringAt(const Json& value, std::string_view key) {
  const Json* field = member(value, key);
  if (!field || !field->is_string()) return std::nullopt;
  return field->get_ref<const std::string&>();
}

std::optional<std::int64_t> integerAt(const Json& value, std::string_view key) {
  const Json* field = member(value, key);
  if (!field) return std::nullopt;
  if (field->is_number_unsigned()) {
    auto number = field->get<std::uint64_t>();
    if (number > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())) {
      return std::nullopt;
    }
    return static_cast<std::int64_t>(number);
  }
  if (field->is_number_integer()) return field->get<std::int64_t>();
  return std::nullopt;
}

std::optional<bool> booleanAt(const Json& value, std::string_view key) {
  const Json* field = member(value, key);
  if (!field || !field->is_boolean()) return std::nullopt;
  return field->get<bool>();
}

std::optional<Position> positionAt(const Json& value, std::string_view key) {
  const Json* field = member(value, key);
  if (!field) return std::nullopt;
  std::optional<std::int64_t> line = integerAt(*field, "line");
  std::optional<std::int64_t> character = integerAt(*field, "character");
  if (!line || !character || *line < 0 || *character < 0) return std::nullopt;
  return Position{*line, *character};
}

std::optional<Range> rangeAt(const Json& value, std::string_view key) {
  const Json* field = member(value, key);
  if (!field) return std::nullopt;
  std::optional<Position> start = positionAt(*field, "start");
  std::optional<Position> end = positionAt(*field, "end");
  if (!start || !end) return std::nullopt;
  return Range{*start, *end};
}

Json toJson(Position position) {
  return {{"line", position.line}, {"character", position.character}};
}

Json toJson(const Range& range) {
  return {{"start", toJson(range.start)}, {"end", toJson(range.end)}};
}

}  // namespace vrel::lsp
