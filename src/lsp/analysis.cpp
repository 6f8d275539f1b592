#include "lsp/analysis.h"

#include <algorithm>
#include <new>

#include "ast/reader.h"
#include "ast/source_map.h"
#include "codegen/translate.h"
#include "frontend/frontend.h"
#include "lsp/warnings.h"
#include "support/compile_error.h"
#include "support/exit_request.h"
#include "support/source_text.h"

namespace vrel::lsp {
namespace {

// The bytes of a front-end location in `text`: lines end in LF, columns count bytes from 1, and
// those of line 1 do not count a byte-order mark.
class LineStarts {
 public:
  explicit LineStarts(std::string_view text) : size_(text.size()), bom_(byteOrderMarkSize(text)) {
    starts_.push_back(0);
    for (std::size_t at = text.find('\n'); at != std::string_view::npos;
         at = text.find('\n', at + 1)) {
      starts_.push_back(at + 1);
    }
  }

  SourceSpan span(const Location& where) const {
    std::uint64_t begin = offset(where.line, where.column);
    return {begin, std::max(begin, offset(where.endLine, where.endColumn))};
  }

 private:
  std::uint64_t offset(std::uint64_t line, std::uint64_t column) const {
    if (line == 0 || line > starts_.size()) return size_;
    std::uint64_t at = starts_[line - 1] + (line == 1 ? bom_ : 0) + (column > 0 ? column - 1 : 0);
    return std::min<std::uint64_t>(at, size_);
  }

  std::uint64_t size_;
  std::uint64_t bom_;
  std::vector<std::uint64_t> starts_;
};

// The semantic or type error that stops the translation, where its location block puts it.
Finding compileError(const CompileError& e, const ast::SourceMap& map, SourceSpan fallback) {
  const std::optional<ErrorSite>& site = e.site();
  Finding finding{fallback, e.what(), false, std::nullopt};
  if (!site) return finding;
  if (std::optional<SourceSpan> span = map.span(site->at)) finding.span = *span;
  if (!site->text.empty()) finding.message = site->text;
  if (site->note) {
    if (std::optional<SourceSpan> span = map.span(*site->note)) {
      finding.note = Note{*span, site->noteText};
    }
  }
  return finding;
}

// The tree's names, the error that stops its translation, if any, and the warnings.
void check(ParsedSource& parsed, Analysis& result) {
  ast::NodeIndex nodes;
  nodes.nodes.reserve(parsed.positions.size());  // a node has one constructor name at most
  std::optional<ast::Prog> prog = ast::readProg(parsed.ast_text, &nodes);
  if (!prog) return;
  ast::SourceMap map(std::move(parsed.positions), std::move(nodes));
  SourceSpan main = map.span(ast::mainFunctionRef()).value_or(SourceSpan{});
  try {
    translateProgram(*prog);
  } catch (const CompileError& e) {
    result.findings.push_back(compileError(e, map, {main.begin, main.begin}));
  }
  result.index.emplace(*prog, map);
  std::vector<Finding> found = warnings(*prog, map, *result.index);
  std::stable_sort(found.begin(), found.end(),
                   [](const Finding& a, const Finding& b) { return a.span.begin < b.span.begin; });
  result.findings.insert(result.findings.end(), found.begin(), found.end());
}

}  // namespace

Analysis analyse(std::string_view text) {
  Analysis result;
  try {
    ParsedSource parsed = vrel_parse_memory(text);
    LineStarts lines(text);
    for (const Located& error : parsed.errors) {
      result.findings.push_back({lines.span(error.where), error.text, false, std::nullopt});
    }
    if (parsed.result == kFrontEndAccepted) check(parsed, result);
  } catch (const ast::NestingTooDeep& e) {
    result.findings.push_back({{0, 0}, e.what(), false, std::nullopt});
  } catch (const ExitRequest&) {
    result.findings.push_back(
        {{0, 0}, "the program is too large for the memory available", false, std::nullopt});
  } catch (const std::bad_alloc&) {
    result.findings.push_back(
        {{0, 0}, "the program is too large for the memory available", false, std::nullopt});
  }
  return result;
}

}  // namespace vrel::lsp
