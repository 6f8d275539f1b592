#include "lsp/features.h"

#include <functional>
#include <map>
#include <string_view>
#include <utility>
#include <vector>

#include "lsp/call_context.h"
#include "lsp/declarations.h"

namespace vrel::lsp {
namespace {

// The protocol's numbers for the kinds of things shown.
constexpr int kSeverityError = 1;
constexpr int kSeverityWarning = 2;
constexpr int kSymbolFunction = 12;
constexpr int kSymbolVariable = 13;
constexpr int kCompletionFunction = 3;
constexpr int kCompletionVariable = 6;
constexpr int kCompletionKeyword = 14;

struct Query {
  std::string uri;
  const OpenDocument* open;
  Position position;
  const Json& params;

  const Document& document() const { return open->document; }
  std::uint64_t offset() const { return document().offsetAt(position); }
  Json range(SourceSpan span) const {
    return toJson(Range{document().positionAt(span.begin), document().positionAt(span.end)});
  }
  Json location(SourceSpan span) const { return {{"uri", uri}, {"range", range(span)}}; }
  const SymbolIndex* index() const {
    return open->analysis->index ? &*open->analysis->index : nullptr;
  }
  // The occurrence under the cursor and its symbol.
  const Occurrence* occurrence() const { return index() ? index()->at(offset()) : nullptr; }
};

Json hover(const Query& q) {
  const Occurrence* at = q.occurrence();
  if (!at) return nullptr;
  const Symbol& symbol = q.index()->symbols()[at->symbol];
  std::string text = "```vrel\n" + symbol.detail + "\n```";
  if (symbol.kind == SymbolKind::kRoutine) {
    text += "\n\n" + std::string(routineDoc(symbol.name)->summary);
  }
  return {{"contents", {{"kind", "markdown"}, {"value", text}}}, {"range", q.range(at->span)}};
}

Json definition(const Query& q) {
  const Occurrence* at = q.occurrence();
  if (!at) return nullptr;
  const Symbol& symbol = q.index()->symbols()[at->symbol];
  if (symbol.kind == SymbolKind::kRoutine) return nullptr;
  return q.location(symbol.nameSpan);
}

Json references(const Query& q) {
  const Occurrence* at = q.occurrence();
  if (!at) return nullptr;
  const Json* context = member(q.params, "context");
  bool declaration = context && booleanAt(*context, "includeDeclaration").value_or(false);
  Json list = Json::array();
  for (std::size_t o : q.index()->occurrencesOf(at->symbol)) {
    const Occurrence& occurrence = q.index()->occurrences()[o];
    if (!occurrence.declaration || declaration) list.push_back(q.location(occurrence.span));
  }
  return list;
}

Json prepareRename(const Query& q) {
  const Occurrence* at = q.occurrence();
  if (!at || q.index()->symbols()[at->symbol].kind == SymbolKind::kRoutine) return nullptr;
  return {{"range", q.range(at->span)}, {"placeholder", q.index()->symbols()[at->symbol].name}};
}

Reply rename(const Query& q) {
  std::optional<std::string> name = stringAt(q.params, "newName");
  if (!name) return invalidParams("expected newName");
  const Occurrence* at = q.occurrence();
  if (!at) return Failure{ErrorCode::kRequestFailed, "no name to rename here"};
  if (std::optional<std::string> conflict = q.index()->renameConflict(at->symbol, *name)) {
    return Failure{ErrorCode::kRequestFailed, "cannot rename: " + *conflict};
  }
  Json edits = Json::array();
  for (std::size_t o : q.index()->occurrencesOf(at->symbol)) {
    edits.push_back({{"range", q.range(q.index()->occurrences()[o].span)}, {"newText", *name}});
  }
  return Json{{"changes", {{q.uri, edits}}}};
}

Json symbolTree(const Query& q, std::size_t id) {
  const Symbol& symbol = q.index()->symbols()[id];
  Json children = Json::array();
  for (std::size_t m : symbol.members) children.push_back(symbolTree(q, m));
  return {{"name", symbol.name},
          {"detail", symbol.detail},
          {"kind", isFunction(symbol) ? kSymbolFunction : kSymbolVariable},
          {"range", q.range(symbol.extent)},
          {"selectionRange", q.range(symbol.nameSpan)},
          {"children", std::move(children)}};
}

Json documentSymbols(const Query& q) {
  if (!q.index()) return Json::array();
  return Json::array({symbolTree(q, q.index()->mainFunction())});
}

// Completion and signature help are asked while a line is half typed: the names come from the
// last text that parsed.
const SymbolIndex* lastIndex(const Query& q) {
  return q.open->lastParsed ? &*q.open->lastParsed->index : nullptr;
}

Json completion(const Query& q) {
  Json items = Json::array();
  if (const SymbolIndex* index = lastIndex(q)) {
    for (std::size_t id : index->visibleAt(q.offset())) {
      const Symbol& symbol = index->symbols()[id];
      items.push_back({{"label", symbol.name},
                       {"kind", isFunction(symbol) ? kCompletionFunction : kCompletionVariable},
                       {"detail", symbol.detail}});
    }
  }
  for (std::string_view keyword : keywords()) {
    items.push_back({{"label", keyword}, {"kind", kCompletionKeyword}});
  }
  return {{"isIncomplete", false}, {"items", std::move(items)}};
}

Json signatureHelp(const Query& q) {
  std::optional<CallContext> call = callAt(q.document().text(), q.offset());
  const SymbolIndex* index = lastIndex(q);
  if (!call || !index) return nullptr;
  for (std::size_t id : index->visibleAt(q.offset())) {
    const Symbol& symbol = index->symbols()[id];
    if (!isFunction(symbol) || symbol.name != call->callee) continue;
    Json params = Json::array();
    for (const std::string& param : symbol.params) params.push_back({{"label", param}});
    Json signature = {{"label", symbol.detail}, {"parameters", std::move(params)}};
    if (symbol.kind == SymbolKind::kRoutine) {
      signature["documentation"] = routineDoc(symbol.name)->summary;
    }
    return {{"signatures", Json::array({std::move(signature)})},
            {"activeSignature", 0},
            {"activeParameter", call->argument}};
  }
  return nullptr;
}

using Feature = std::function<Reply(const Query&)>;

const std::map<std::string, Feature, std::less<>>& features() {
  static const std::map<std::string, Feature, std::less<>> kFeatures = {
      {"textDocument/hover", hover},           {"textDocument/definition", definition},
      {"textDocument/references", references}, {"textDocument/prepareRename", prepareRename},
      {"textDocument/rename", rename},         {"textDocument/documentSymbol", documentSymbols},
      {"textDocument/completion", completion}, {"textDocument/signatureHelp", signatureHelp},
  };
  return kFeatures;
}

}  // namespace

Json diagnostics(const std::string& uri, const OpenDocument& open) {
  Json list = Json::array();
  const Document& document = open.document;
  auto range = [&](SourceSpan span) {
    return toJson(Range{document.positionAt(span.begin), document.positionAt(span.end)});
  };
  for (const Finding& finding : open.analysis->findings) {
    Json diagnostic = {{"range", range(finding.span)},
                       {"severity", finding.warning ? kSeverityWarning : kSeverityError},
                       {"source", "vrel"},
                       {"message", finding.message}};
    if (finding.note) {
      diagnostic["relatedInformation"] =
          Json::array({{{"location", {{"uri", uri}, {"range", range(finding.note->span)}}},
                        {"message", finding.note->message}}});
    }
    list.push_back(std::move(diagnostic));
  }
  return list;
}

std::optional<Reply> answer(const Workspace& workspace, const std::string& method,
                            const Json& params) {
  auto feature = features().find(method);
  if (feature == features().end()) return std::nullopt;
  // documentSymbol names no position: it is answered for the whole document.
  auto at = workspace.at(params, method != "textDocument/documentSymbol");
  if (const auto* failure = std::get_if<Failure>(&at)) return *failure;
  auto [open, position] = std::get<0>(at);
  return feature->second(
      Query{*stringAt(*member(params, "textDocument"), "uri"), open, position, params});
}

}  // namespace vrel::lsp
