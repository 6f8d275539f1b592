#include "lsp/server.h"

#include <utility>

#include "driver/version.h"
#include "lsp/features.h"

namespace vrel::lsp {
namespace {

Json capabilities() {
  return {
      {"positionEncoding", "utf-16"},
      {"textDocumentSync", {{"openClose", true}, {"change", 2}}},
      {"hoverProvider", true},
      {"definitionProvider", true},
      {"referencesProvider", true},
      {"renameProvider", {{"prepareProvider", true}}},
      {"documentSymbolProvider", true},
      {"completionProvider", {{"triggerCharacters", Json::array()}}},
      {"signatureHelpProvider", {{"triggerCharacters", {"(", ","}}}},
  };
}

// A request's id is a number or a string; anything else is not a request's.
bool validId(const Json& id) {
  return id.is_number_integer() || id.is_string();
}

}  // namespace

void Server::handle(const Frame& frame) {
  if (const auto* fault = std::get_if<FramingFault>(&frame)) {
    fail(nullptr, ErrorCode::kParseError, "unusable message header: " + fault->reason);
    return;
  }
  Json parsed = Json::parse(std::get<Body>(frame).bytes, nullptr, false);
  if (parsed.is_discarded()) {
    fail(nullptr, ErrorCode::kParseError, "the message is not valid JSON");
    return;
  }
  message(parsed);
}

void Server::message(const Json& message) {
  const Json* id = member(message, "id");
  const Json* method = member(message, "method");
  if (!message.is_object() || stringAt(message, "jsonrpc") != "2.0" || (id && !validId(*id)) ||
      (method && !method->is_string())) {
    fail(id && validId(*id) ? *id : Json(nullptr), ErrorCode::kInvalidRequest,
         "not a JSON-RPC 2.0 request or notification");
    return;
  }
  if (!method) {
    if (!id) fail(nullptr, ErrorCode::kInvalidRequest, "a message without a method");
    return;  // a response: the server sends no requests, so it answers nothing
  }
  // Some clients send null for no parameters (shutdown, exit): taken as none.
  const Json* params = member(message, "params");
  if (params && params->is_null()) params = nullptr;
  Json none = Json::object();
  if (params && !params->is_object() && !params->is_array()) {
    if (id) fail(*id, ErrorCode::kInvalidParams, "params must be an object or an array");
    return;
  }
  const std::string& name = method->get_ref<const std::string&>();
  if (id) {
    request(*id, name, params ? *params : none);
  } else {
    notification(name, params ? *params : none);
  }
}

void Server::request(const Json& id, const std::string& method, const Json& params) {
  if (phase_ == Phase::kStarting && method != "initialize") {
    fail(id, ErrorCode::kServerNotInitialized, "the server has not been initialized");
    return;
  }
  if (phase_ == Phase::kShutDown) {
    fail(id, ErrorCode::kInvalidRequest, "the server is shutting down");
    return;
  }
  if (method == "initialize") {
    if (phase_ == Phase::kRunning) {
      fail(id, ErrorCode::kInvalidRequest, "the server is already initialized");
      return;
    }
    phase_ = Phase::kRunning;
    send({{"jsonrpc", "2.0"},
          {"id", id},
          {"result",
           {{"capabilities", capabilities()},
            {"serverInfo", {{"name", "vrel-lsp"}, {"version", VRELC_VERSION}}}}}});
    return;
  }
  if (method == "shutdown") {
    phase_ = Phase::kShutDown;
    send({{"jsonrpc", "2.0"}, {"id", id}, {"result", nullptr}});
    return;
  }
  std::optional<Reply> reply = answer(workspace_, method, params);
  if (!reply) {
    fail(id, ErrorCode::kMethodNotFound, "unknown method " + method);
  } else if (const auto* failure = std::get_if<Failure>(&*reply)) {
    fail(id, failure->code, failure->message);
  } else {
    send({{"jsonrpc", "2.0"}, {"id", id}, {"result", std::get<Json>(*reply)}});
  }
}

void Server::notification(const std::string& method, const Json& params) {
  if (method == "exit") {
    exit_ = phase_ == Phase::kShutDown ? 0 : 1;
    return;
  }
  if (phase_ != Phase::kRunning) return;
  if (method == "textDocument/didOpen" || method == "textDocument/didChange") {
    std::optional<std::string> uri =
        method == "textDocument/didOpen" ? workspace_.open(params) : workspace_.change(params);
    if (uri) publish(*uri, *workspace_.find(*uri));
  } else if (method == "textDocument/didClose") {
    if (std::optional<std::string> uri = workspace_.close(params)) {
      send({{"jsonrpc", "2.0"},
            {"method", "textDocument/publishDiagnostics"},
            {"params", {{"uri", *uri}, {"diagnostics", Json::array()}}}});
    }
  }
}

void Server::publish(const std::string& uri, const OpenDocument& document) {
  send({{"jsonrpc", "2.0"},
        {"method", "textDocument/publishDiagnostics"},
        {"params",
         {{"uri", uri},
          {"version", document.document.version()},
          {"diagnostics", diagnostics(uri, document)}}}});
}

void Server::fail(const Json& id, ErrorCode code, std::string_view text) {
  send({{"jsonrpc", "2.0"},
        {"id", id},
        {"error", {{"code", static_cast<int>(code)}, {"message", text}}}});
}

// Invalid UTF-8 in a text is sent as replacement characters rather than failing the message.
void Server::send(const Json& message) {
  std::string body = message.dump(-1, ' ', false, Json::error_handler_t::replace);
  write_("Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body);
}

}  // namespace vrel::lsp
