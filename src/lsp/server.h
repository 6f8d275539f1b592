// The server's side of one session: the lifecycle (initialize, shutdown, exit), the JSON-RPC
// rules for requests, notifications and faults, and the open documents. Every message it sends
// goes to the writer as one complete frame.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "lsp/json_access.h"
#include "lsp/message_reader.h"
#include "lsp/rpc.h"
#include "lsp/workspace.h"

namespace vrel::lsp {

class Server {
 public:
  using Writer = std::function<void(std::string_view frame)>;

  explicit Server(Writer write) : write_(std::move(write)) {}

  void handle(const Frame& frame);

  // The status to exit with, once `exit` has arrived.
  std::optional<int> exitStatus() const { return exit_; }
  // The status for an input that ends before `exit`.
  int statusAtEndOfInput() const { return phase_ == Phase::kShutDown ? 0 : 1; }

 private:
  enum class Phase { kStarting, kRunning, kShutDown };

  void message(const Json& message);
  void request(const Json& id, const std::string& method, const Json& params);
  void notification(const std::string& method, const Json& params);

  void send(const Json& message);
  void fail(const Json& id, ErrorCode code, std::string_view text);
  void publish(const std::string& uri, const OpenDocument& document);

  Writer write_;
  Phase phase_ = Phase::kStarting;
  std::optional<int> exit_;
  Workspace workspace_;
};

}  // namespace vrel::lsp
