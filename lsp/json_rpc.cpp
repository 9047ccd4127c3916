#include "lsp/json_rpc.h"

#include <exception>
#include <new>

namespace scengen::lsp {
namespace {

// An id the protocol allows: a number or a string.
bool valid_id(const Json& id) { return id.is_number_integer() || id.is_string(); }

}  // namespace

std::string serialize(const Json& message) {
  return message.dump(-1, ' ', false, Json::error_handler_t::replace);
}

void Dispatcher::on_request(std::string method, RequestHandler handler) {
  requests_[std::move(method)] = std::move(handler);
}

void Dispatcher::on_notification(std::string method, NotificationHandler handler) {
  notifications_[std::move(method)] = std::move(handler);
}

void Dispatcher::answer_error(const Json& id, int code, const std::string& message) {
  send_({{"jsonrpc", "2.0"}, {"id", id}, {"error", {{"code", code}, {"message", message}}}});
}

void Dispatcher::notify(const std::string& method, Json params) {
  send_({{"jsonrpc", "2.0"}, {"method", method}, {"params", std::move(params)}});
}

void Dispatcher::refuse_unread(int code, const std::string& problem) {
  answer_error(nullptr, code, problem);
}

void Dispatcher::dispatch(std::string_view body) {
  const Json message = Json::parse(body, nullptr, /*allow_exceptions=*/false);
  if (message.is_discarded()) return answer_error(nullptr, kParseError, "the message is no JSON");
  if (!message.is_object() || message.value("jsonrpc", Json()) != "2.0") {
    return answer_error(nullptr, kInvalidRequest, "the message is no JSON-RPC 2.0 object");
  }
  const auto method = message.find("method");
  const auto id = message.find("id");
  if (method == message.end()) {
    // An answer to a request of ours: the server sends none, so there is nothing to match.
    if (id != message.end() && (message.contains("result") || message.contains("error"))) return;
    return answer_error(valid_id(message.value("id", Json())) ? message["id"] : Json(),
                        kInvalidRequest, "the message has no method");
  }
  // Some clients send "params": null for a method without them (shutdown, exit): read as none.
  Json params = message.value("params", Json::object());
  if (params.is_null()) params = Json::object();
  if (!method->is_string() || (id != message.end() && !valid_id(*id)) ||
      !(params.is_object() || params.is_array())) {
    return answer_error(id != message.end() && valid_id(*id) ? *id : Json(), kInvalidRequest,
                        "the method, id or params are not of their types");
  }
  if (id != message.end()) return request(*id, method->get<std::string>(), params);
  notification(method->get<std::string>(), params);
}

void Dispatcher::request(const Json& id, const std::string& method, const Json& params) {
  if (shut_down_) return answer_error(id, kInvalidRequest, "the server is shut down");
  if (method == "initialize") {
    if (initialized_) return answer_error(id, kInvalidRequest, "the server is initialized already");
  } else if (!initialized_) {
    return answer_error(id, kServerNotInitialized, "the server is not initialized yet");
  }
  const auto handler = requests_.find(method);
  if (handler == requests_.end() && method != "shutdown") {
    return answer_error(id, kMethodNotFound, "no such method: " + method);
  }
  try {
    Json result = handler == requests_.end() ? Json() : handler->second(params);
    if (method == "initialize") initialized_ = true;
    if (method == "shutdown") shut_down_ = true;
    send_({{"jsonrpc", "2.0"}, {"id", id}, {"result", std::move(result)}});
  } catch (const RequestError& e) {
    answer_error(id, e.code, e.message);
  } catch (const Json::exception& e) {
    answer_error(id, kInvalidParams, std::string("the params are not as ") + method + " takes them: " + e.what());
  } catch (const std::bad_alloc&) {
    answer_error(id, kInternalError, "out of memory");
  }
}

void Dispatcher::notification(const std::string& method, const Json& params) {
  if (method == "exit") {
    exited_ = true;
    return;
  }
  // Before initialize and after shutdown a notification is dropped, as the protocol asks.
  if (!initialized_ || shut_down_) return;
  const auto handler = notifications_.find(method);
  if (handler == notifications_.end()) return;  // "$/" and other optional notifications
  try {
    handler->second(params);
  } catch (const Json::exception&) {
    // A notification has no answer: a malformed one is dropped.
  } catch (const RequestError&) {
  } catch (const std::bad_alloc&) {
    // The documents stay as they were; the next change compiles again.
  }
}

}  // namespace scengen::lsp
