// The answers to the editor's questions about an open document.
#pragma once

#include <optional>
#include <string>

#include "lsp/json_access.h"
#include "lsp/rpc.h"
#include "lsp/workspace.h"

namespace vrel::lsp {

// The diagnostics of the document's text, for textDocument/publishDiagnostics.
Json diagnostics(const std::string& uri, const OpenDocument& document);

// The reply to a request about documents; nothing when no feature answers `method`.
std::optional<Reply> answer(const Workspace& workspace, const std::string& method,
                            const Json& params);

}  // namespace vrel::lsp
