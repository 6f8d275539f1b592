// The documents the editor has open, each with the text it last sent and what the compiler's
// stages found in that text.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>

#include "lsp/analysis.h"
#include "lsp/document.h"
#include "lsp/json_access.h"
#include "lsp/rpc.h"

namespace vrel::lsp {

struct OpenDocument {
  Document document;
  std::shared_ptr<const Analysis> analysis;  // of the text as it is
  // The last analysis whose text parsed, for the questions asked while a line is half typed.
  std::shared_ptr<const Analysis> lastParsed;
};

class Workspace {
 public:
  // The notifications of document sync; each answers the URI of the document it changed, or
  // nothing when its parameters are not usable (a notification gets no error reply).
  std::optional<std::string> open(const Json& params);
  std::optional<std::string> change(const Json& params);
  std::optional<std::string> close(const Json& params);

  const OpenDocument* find(const std::string& uri) const;

  // A request about an open document, textDocument.uri, and when `positioned` a position in it.
  std::variant<std::pair<const OpenDocument*, Position>, Failure> at(const Json& params,
                                                                     bool positioned) const;

 private:
  static void analyse(OpenDocument& open);

  std::map<std::string, OpenDocument, std::less<>> documents_;
};

}  // namespace vrel::lsp
