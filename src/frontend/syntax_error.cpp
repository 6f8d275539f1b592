#include "frontend/syntax_error.h"

#include <algorithm>
#include <array>
#include <string>

#include "frontend/error_reporter.h"

namespace vrel::frontend {
namespace {

// The tokens an expression, a condition or a statement may start with, by the parser's names.
constexpr std::array<std::string_view, 7> kExpressionStart{"T_ID", "T_NUMBER", "T_CHAR", "T_STRING",
                                                           "'('",  "'+'",      "'-'"};
constexpr std::array<std::string_view, 3> kConditionOnlyStart{"true", "false", "'!'"};
constexpr std::array<std::string_view, 7> kStatementStart{"';'",   "T_ID",   "T_STRING", "if",
                                                          "while", "return", "'{'"};

// A token as a sentence names it.
std::string describe(std::string_view name) {
  if (name == "T_ID") return "a name";
  if (name == "T_NUMBER") return "a number";
  if (name == "T_CHAR") return "a character constant";
  if (name == "T_STRING") return "a string constant";
  if (name.front() == '\'') return std::string(name);
  return "'" + std::string(name) + "'";  // a keyword or an operator of two characters
}

template <std::size_t N>
bool holdsAll(const std::vector<std::string_view>& names,
              const std::array<std::string_view, N>& set) {
  return std::all_of(set.begin(), set.end(), [&](std::string_view s) {
    return std::find(names.begin(), names.end(), s) != names.end();
  });
}

template <std::size_t N>
void removeAll(std::vector<std::string_view>& names, const std::array<std::string_view, N>& set) {
  std::erase_if(
      names, [&](std::string_view n) { return std::find(set.begin(), set.end(), n) != set.end(); });
}

// "A", "A or B", "A, B or C": the expected tokens, with the sets that make up an expression, a
// condition or a statement named as such.
std::string expectedList(std::vector<std::string_view> names) {
  std::vector<std::string> parts;
  bool statement = holdsAll(names, kStatementStart);
  bool expression = holdsAll(names, kExpressionStart);
  bool condition = expression && holdsAll(names, kConditionOnlyStart);
  if (statement) removeAll(names, kStatementStart);
  if (condition) removeAll(names, kConditionOnlyStart);
  if (expression) removeAll(names, kExpressionStart);
  std::erase(names, "invalid token");
  std::erase(names, "error");
  if (statement) parts.emplace_back("a statement");
  if (condition) parts.emplace_back("a condition");
  if (expression && !condition) parts.emplace_back("an expression");
  if (expression && statement && !condition) parts.back() = "an expression";
  for (std::string_view name : names) parts.push_back(describe(name));
  std::string list;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (i > 0) list += i + 1 == parts.size() ? " or " : ", ";
    list += parts[i];
  }
  return list;
}

// A token's text as a message quotes it: a long one is cut.
std::string quoted(std::string_view text) {
  constexpr std::size_t kLongest = 24;
  if (text.size() > kLongest) return "'" + std::string(text.substr(0, kLongest)) + "...'";
  return "'" + std::string(text) + "'";
}

bool contains(const std::vector<std::string_view>& names, std::string_view name) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

}  // namespace

Located syntax_error(std::string_view found, std::string_view text, SourceSpan span,
                     const std::vector<std::string_view>& expected) {
  const ScanPosition::TokenEnd& at = scan.previous;
  Location found_at = location_of(span, scan.last.line, scan.last.line_start);
  if (found == "'='" && contains(expected, "==")) {
    return {"'=' assigns; use '==' to compare", found_at};
  }
  bool at_end = found == "end of file";
  std::string place = at_end ? "at the end of the input" : "before " + quoted(text);
  std::string said = expected.empty() ? "unexpected " + (at_end ? "end of the input" : quoted(text))
                                      : "expected " + expectedList(expected) + " " + place;
  // What closes a construct is missing right after the construct's last token, and whatever is
  // missing at the end of the input is missing after its last token.
  bool closer_missing =
      contains(expected, "';'") || contains(expected, "')'") || contains(expected, "']'");
  if ((closer_missing || at_end) && at.offset < span.begin) {
    return {said, location_of({at.offset, at.offset}, at.line, at.line_start)};
  }
  return {said, found_at};
}

Located nesting_too_deep(SourceSpan span) {
  return {"this is nested more deeply than the parser can hold",
          location_of(span, scan.last.line, scan.last.line_start)};
}

}  // namespace vrel::frontend
