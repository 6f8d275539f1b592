// The documents the editor has open, each with the text it last sent and what the compiler's
// stages found in that text.
#pragma once

#include <map>
#include <optional>
#include <string>

#include "lsp/document.h"
#include "lsp/json_access.h"
#include "lsp/rpc.h"

namespace vrel::lsp {

struct OpenDocument {
  Document document;
};

class Workspace {
 public:
  // The notifications of document sync; each answers the URI of the document it changed, or
  // nothing when its parameters are not usable (a notification gets no error reply).
  std::optional<std::string> open(const Json& params);
  std::optional<std::string> change(const Json& params);
  std::optional<std::string> close(const Json& params);

  const OpenDocument* find(const std::string& uri) const;

  // A request about a position in an open document: textDocument.uri and position.
  std::variant<std::pair<const OpenDocument*, Position>, Failure> at(const Json& params) const;

 private:
  std::map<std::string, OpenDocument, std::less<>> documents_;
};

}  // namespace vrel::lsp
