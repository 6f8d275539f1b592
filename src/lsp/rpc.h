// The answers of JSON-RPC requests: a result, or an error with its code.
#pragma once

#include <string>
#include <variant>

#include "lsp/json_access.h"

namespace vrel::lsp {

enum class ErrorCode : int {
  kParseError = -32700,
  kInvalidRequest = -32600,
  kMethodNotFound = -32601,
  kInvalidParams = -32602,
  kInternalError = -32603,
  kServerNotInitialized = -32002,
  kRequestFailed = -32803,
};

struct Failure {
  ErrorCode code;
  std::string message;
};

using Reply = std::variant<Json, Failure>;

inline Failure invalidParams(std::string message) {
  return {ErrorCode::kInvalidParams, std::move(message)};
}

}  // namespace vrel::lsp
