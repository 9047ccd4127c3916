// JSON-RPC 2.0 as the protocol uses it: requests, notifications and their answers, and the
// lifecycle that gates them (initialize first; shutdown, then exit).
#pragma once

#include <functional>
#include <map>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

namespace scengen::lsp {

using Json = nlohmann::json;

/// The error codes of JSON-RPC and of the protocol.
enum ErrorCode : int {
  kParseError = -32700,
  kInvalidRequest = -32600,
  kMethodNotFound = -32601,
  kInvalidParams = -32602,
  kInternalError = -32603,
  kServerNotInitialized = -32002,
};

/// Thrown by a request handler to answer with an error.
struct RequestError {
  int code = kInvalidParams;
  std::string message;
};

/// The message as one line of JSON; text that is not UTF-8 is replaced, never thrown on.
std::string serialize(const Json& message);

/// Reads message bodies, calls the handler of their method and sends the answers.
class Dispatcher {
 public:
  using Send = std::function<void(const Json& message)>;
  /// Returns the request's result; throws RequestError (or a JSON type error: invalid params).
  using RequestHandler = std::function<Json(const Json& params)>;
  using NotificationHandler = std::function<void(const Json& params)>;

  explicit Dispatcher(Send send) : send_(std::move(send)) {}

  /// The handler of a request method; "initialize" and "shutdown" are the lifecycle's own, and
  /// their handlers (when given) make the result.
  void on_request(std::string method, RequestHandler handler);
  /// The handler of a notification method; "exit" is the lifecycle's own.
  void on_notification(std::string method, NotificationHandler handler);

  /// Handles one message body.
  void dispatch(std::string_view body);
  /// Answers a message that could not be read at all (-32700 or -32600, no id).
  void refuse_unread(int code, const std::string& problem);

  /// Sends a notification of the server's own.
  void notify(const std::string& method, Json params);

  /// Whether the exit notification came, and the status it asks for.
  bool exited() const { return exited_; }
  int exit_status() const { return shut_down_ ? 0 : 1; }
  bool shut_down() const { return shut_down_; }

 private:
  void request(const Json& id, const std::string& method, const Json& params);
  void notification(const std::string& method, const Json& params);
  void answer_error(const Json& id, int code, const std::string& message);

  Send send_;
  std::map<std::string, RequestHandler, std::less<>> requests_;
  std::map<std::string, NotificationHandler, std::less<>> notifications_;
  bool initialized_ = false;
  bool shut_down_ = false;
  bool exited_ = false;
};

}  // namespace scengen::lsp
