// Reading the fields of a message without trusting them: every accessor answers nothing when the
// field is missing or of another type, and never throws.
#pragma once

#include <cstdint>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>

#include "lsp/document.h"

namespace vrel::lsp {

using Json = nlohmann::json;

// The member `key` of `value`, or null when `value` is not an object or has no such member.
const Json* member(const Json& value, std::string_view key);

std::optional<std::string> stringAt(const Json& value, std::string_view key);
std::optional<std::int64_t> integerAt(const Json& value, std::string_view key);
std::optional<bool> booleanAt(const Json& value, std::string_view key);

// {line, character}, both integers from 0.
std::optional<Position> positionAt(const Json& value, std::string_view key);
// {start, end}.
std::optional<Range> rangeAt(const Json& value, std::string_view key);

Json toJson(Position position);
Json toJson(const Range& range);

}  // namespace vrel::lsp
