// For the server's tests: a client that writes a whole session's messages up front, runs the
// server over them in memory and reads back what it sent.
#pragma once

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "lsp/json_rpc.h"
#include "lsp/message_framing.h"
#include "lsp/server.h"
#include "platform/file_layer.h"

namespace scengen::lsp::testing {

/// A session: the messages to send, then the server's answers and its exit status.
class ScriptedClient {
 public:
  /// Adds a request with this id.
  ScriptedClient& request(int id, const std::string& method, Json params = Json::object()) {
    return raw_message({{"jsonrpc", "2.0"}, {"id", id}, {"method", method}, {"params", params}});
  }
  /// Adds a notification.
  ScriptedClient& notify(const std::string& method, Json params = Json::object()) {
    return raw_message({{"jsonrpc", "2.0"}, {"method", method}, {"params", params}});
  }
  /// Adds a message as it is, framed.
  ScriptedClient& raw_message(const Json& message) { return framed(serialize(message)); }
  /// Adds a body, framed with its length.
  ScriptedClient& framed(const std::string& body) {
    script_ += "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
    return *this;
  }
  /// Adds bytes as they are.
  ScriptedClient& bytes(const std::string& raw) {
    script_ += raw;
    return *this;
  }
  /// initialize (offering `encodings` as position encodings) and initialized.
  ScriptedClient& start(std::vector<std::string> encodings = {}) {
    Json params = {{"capabilities", Json::object()}};
    if (!encodings.empty()) params["capabilities"]["general"]["positionEncodings"] = encodings;
    request(0, "initialize", params);
    return notify("initialized");
  }
  /// Opens a document with this UTF-8 text.
  ScriptedClient& open(const std::string& uri, const std::string& text) {
    return notify("textDocument/didOpen",
                  {{"textDocument",
                    {{"uri", uri}, {"languageId", "scengen"}, {"version", 1}, {"text", text}}}});
  }
  /// Replaces a document's text.
  ScriptedClient& change(const std::string& uri, const std::string& text, int version = 2) {
    return notify("textDocument/didChange",
                  {{"textDocument", {{"uri", uri}, {"version", version}}},
                   {"contentChanges", Json::array({{{"text", text}}})}});
  }
  /// shutdown and exit.
  ScriptedClient& finish() {
    request(9999, "shutdown");
    return notify("exit");
  }

  /// Runs the server over the script; `files` reads the texts that are not open.
  void run(FileLayer& files = system_files(), size_t cap = kMaxMessageBytes) {
    std::istringstream in(script_);
    std::ostringstream out;
    status_ = run_language_server(in, out, files, cap);
    std::istringstream sent(out.str());
    MessageReader reader(sent);
    for (Frame frame = reader.next(); frame.status == FrameStatus::Message; frame = reader.next())
      answers_.push_back(Json::parse(frame.body));
  }

  int status() const { return status_; }
  const std::vector<Json>& answers() const { return answers_; }

  /// The answer to request `id`; a null JSON when there is none.
  Json answer(const Json& id) const {
    for (const Json& a : answers_) {
      if (a.contains("id") && a["id"] == id && !a.contains("method")) return a;
    }
    return Json();
  }
  /// The last diagnostics published for `uri`; a null JSON when none were.
  Json diagnostics(const std::string& uri) const {
    Json last;
    for (const Json& a : answers_) {
      if (a.value("method", "") == "textDocument/publishDiagnostics" && a["params"]["uri"] == uri)
        last = a["params"]["diagnostics"];
    }
    return last;
  }
  /// How many times diagnostics were published for `uri`.
  int publications(const std::string& uri) const {
    int count = 0;
    for (const Json& a : answers_) {
      if (a.value("method", "") == "textDocument/publishDiagnostics" && a["params"]["uri"] == uri)
        ++count;
    }
    return count;
  }

 private:
  std::string script_;
  std::vector<Json> answers_;
  int status_ = -1;
};

}  // namespace scengen::lsp::testing
