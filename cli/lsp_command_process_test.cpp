// scengen lsp as an editor runs it: a child process reading a session's messages on standard
// input and answering on standard output.
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <string>

#include "lsp/json_rpc.h"
#include "lsp/message_framing.h"
#include "testing/scengen_process.h"

#ifndef _WIN32
#include <sys/wait.h>
#endif

namespace scengen {
namespace {

using lsp::Json;
using testing::read_file;

class LspProcess : public testing::ScengenFolder {
 protected:
  // Runs `scengen lsp` with `script` on its standard input; returns the exit status and fills
  // `answers` with what it sent.
  int serve(const std::string& script, std::vector<Json>& answers) {
    write("script", script);
#ifdef _WIN32
    const std::string command = "cd /d \"" + folder().string() + "\" && \"" SCENGEN_BINARY
                                "\" lsp <script >answers";
    const int status = std::system(command.c_str());
#else
    const std::string command =
        "cd '" + folder().string() + "' && '" SCENGEN_BINARY "' lsp <script >answers";
    const int raw = std::system(command.c_str());
    const int status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
#endif
    std::istringstream sent(read("answers"));
    lsp::MessageReader reader(sent);
    for (lsp::Frame f = reader.next(); f.status == lsp::FrameStatus::Message; f = reader.next())
      answers.push_back(Json::parse(f.body));
    return status;
  }

  static std::string message(const Json& body) {
    const std::string text = lsp::serialize(body);
    return "Content-Length: " + std::to_string(text.size()) + "\r\n\r\n" + text;
  }
};

TEST_F(LspProcess, AnswersASessionAndEndsAsTheShutdownRulesSay) {
  const std::string line_uri = "file:///nowhere/Ponte_Alto_linea.txt";
  // A line text without a train text beside it: compiled with an empty one.
  const std::string session =
      message({{"jsonrpc", "2.0"}, {"id", 1}, {"method", "initialize"}, {"params", Json::object()}}) +
      message({{"jsonrpc", "2.0"},
               {"method", "textDocument/didOpen"},
               {"params",
                {{"textDocument",
                  {{"uri", line_uri},
                   {"version", 3},
                   {"text", "[generale]\r\nlunghezza percorso, 5000\r\n[curve]\r\nkurva, 0, 0\r\n[fine]\r\n"}}}}}}) +
      // A message that is no request: answered with its error, and the session goes on.
      "Content-Length: 2\r\n\r\n{}";
  const std::string shutdown =
      message({{"jsonrpc", "2.0"}, {"id", 2}, {"method", "shutdown"}}) +
      message({{"jsonrpc", "2.0"}, {"method", "exit"}});

  std::vector<Json> answers;
  EXPECT_EQ(serve(session + shutdown, answers), 0);
  ASSERT_EQ(answers.size(), 4u);
  EXPECT_EQ(answers[0]["id"], 1);
  EXPECT_EQ(answers[1]["params"],
            (Json{{"uri", line_uri},
                  {"version", 3},
                  {"diagnostics",
                   {{{"range", {{"start", {{"line", 3}, {"character", 0}}},
                                {"end", {{"line", 3}, {"character", 5}}}}},
                     {"severity", 2},
                     {"source", "scengen"},
                     {"code", "record_not_compiled"},
                     {"message",
                      "'kurva' matches no record; did you mean 'curva'? The record of line 4 is "
                      "not compiled"}}}}}));
  EXPECT_EQ(answers[2], (Json{{"jsonrpc", "2.0"},
                              {"id", nullptr},
                              {"error", {{"code", -32600}, {"message", "the message is no JSON-RPC 2.0 object"}}}}));
  EXPECT_EQ(answers[3]["id"], 2);

  answers.clear();
  EXPECT_EQ(serve(session + message({{"jsonrpc", "2.0"}, {"method", "exit"}}), answers), 1);
  answers.clear();
  EXPECT_EQ(serve(session, answers), 1);  // the input ends without shutdown
}

}  // namespace
}  // namespace scengen
