#include "lsp/workspace.h"

#include <utility>
#include <vector>

namespace vrel::lsp {
namespace {

std::optional<std::string> uriOf(const Json& params) {
  const Json* document = member(params, "textDocument");
  return document ? stringAt(*document, "uri") : std::nullopt;
}

struct Change {
  std::optional<Range> range;
  std::string text;
};

}  // namespace

std::optional<std::string> Workspace::open(const Json& params) {
  const Json* item = member(params, "textDocument");
  if (!item) return std::nullopt;
  std::optional<std::string> uri = stringAt(*item, "uri");
  std::optional<std::string> text = stringAt(*item, "text");
  if (!uri || !text) return std::nullopt;
  std::int64_t version = integerAt(*item, "version").value_or(0);
  auto [at, added] =
      documents_.insert_or_assign(*uri, OpenDocument{Document(std::move(*text), version), {}, {}});
  analyse(at->second);
  return uri;
}

// The changes are checked before any is applied, so that a malformed one leaves the text whole.
std::optional<std::string> Workspace::change(const Json& params) {
  std::optional<std::string> uri = uriOf(params);
  if (!uri) return std::nullopt;
  auto found = documents_.find(*uri);
  const Json* changes = member(params, "contentChanges");
  if (found == documents_.end() || !changes || !changes->is_array()) return std::nullopt;
  std::vector<Change> checked;
  for (const Json& change : *changes) {
    std::optional<std::string> text = stringAt(change, "text");
    if (!text) return std::nullopt;
    std::optional<Range> range = rangeAt(change, "range");
    if (!range && member(change, "range")) return std::nullopt;
    checked.push_back({range, std::move(*text)});
  }
  Document& document = found->second.document;
  for (const Change& change : checked) document.replace(change.range, change.text);
  const Json* item = member(params, "textDocument");
  if (std::optional<std::int64_t> version = integerAt(*item, "version")) {
    document.setVersion(*version);
  }
  analyse(found->second);
  return uri;
}

std::optional<std::string> Workspace::close(const Json& params) {
  std::optional<std::string> uri = uriOf(params);
  if (!uri || documents_.erase(*uri) == 0) return std::nullopt;
  return uri;
}

void Workspace::analyse(OpenDocument& open) {
  open.analysis = std::make_shared<const Analysis>(lsp::analyse(open.document.text()));
  if (open.analysis->index) open.lastParsed = open.analysis;
}

const OpenDocument* Workspace::find(const std::string& uri) const {
  auto found = documents_.find(uri);
  return found == documents_.end() ? nullptr : &found->second;
}

std::variant<std::pair<const OpenDocument*, Position>, Failure> Workspace::at(
    const Json& params, bool positioned) const {
  std::optional<std::string> uri = uriOf(params);
  std::optional<Position> position =
      positioned ? positionAt(params, "position") : std::optional<Position>(Position{});
  if (!uri || !position) return invalidParams("expected textDocument.uri and position");
  const OpenDocument* document = find(*uri);
  if (!document) return invalidParams("document not open: " + *uri);
  return std::pair{document, *position};
}

}  // namespace vrel::lsp
