// The server's lifecycle and its answers to malformed input, through a scripted client.
#include <gtest/gtest.h>

#include "lsp/scripted_client.h"

namespace scengen::lsp {
namespace {

using testing::ScriptedClient;

// A body with its header.
std::string frame(const std::string& body) {
  return "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
}

// The error an answer carries, as {code, message}.
Json error_of(const Json& answer) { return answer.at("error"); }

TEST(ServerLifecycle, ShutdownThenExitEndsWithZeroExitAloneWithOne) {
  struct Case {
    const char* name;
    bool shutdown;
    bool exit;
    int status;
  };
  const Case cases[] = {
      {"shutdown, exit", true, true, 0},
      {"exit alone", false, true, 1},
      {"the input ends after shutdown", true, false, 0},
      {"the input ends without shutdown", false, false, 1},
  };
  for (const Case& c : cases) {
    ScriptedClient client;
    client.start();
    if (c.shutdown) client.request(7, "shutdown");
    if (c.exit) client.notify("exit");
    // Whatever follows exit is never read.
    client.request(8, "textDocument/hover");
    client.run();
    EXPECT_EQ(client.status(), c.status) << c.name;
    if (c.shutdown) {
      EXPECT_EQ(client.answer(7)["result"], Json()) << c.name;
    }
    if (c.exit) {
      EXPECT_TRUE(client.answer(8).is_null()) << c.name;
    }
  }
}

TEST(ServerLifecycle, GatesRequestsOnInitializeAndShutdown) {
  ScriptedClient client;
  client.request(1, "textDocument/documentSymbol", {{"textDocument", {{"uri", "file:///a"}}}})
      .request(2, "initialize", {{"capabilities", Json::object()}})
      .request(3, "initialize", {{"capabilities", Json::object()}})
      .request(4, "no/such/method")
      .notify("no/such/notification")
      .request(5, "shutdown")
      .request(6, "textDocument/hover")
      .notify("exit");
  client.run();
  EXPECT_EQ(error_of(client.answer(1)),
            (Json{{"code", -32002}, {"message", "the server is not initialized yet"}}));
  EXPECT_EQ(client.answer(2)["result"]["capabilities"],
            (Json{{"positionEncoding", "utf-16"},
                  {"textDocumentSync", {{"openClose", true}, {"change", 1}}},
                  {"hoverProvider", true},
                  {"completionProvider", {{"triggerCharacters", {"[", ","}}}},
                  {"documentSymbolProvider", true},
                  {"codeActionProvider", {{"codeActionKinds", {"quickfix"}}}},
                  {"documentFormattingProvider", true}}));
  EXPECT_EQ(error_of(client.answer(3)),
            (Json{{"code", -32600}, {"message", "the server is initialized already"}}));
  EXPECT_EQ(error_of(client.answer(4)),
            (Json{{"code", -32601}, {"message", "no such method: no/such/method"}}));
  EXPECT_EQ(error_of(client.answer(6)),
            (Json{{"code", -32600}, {"message", "the server is shut down"}}));
  // An unknown notification gets no answer: 5 answers for 6 requests and 1 notification.
  EXPECT_EQ(client.answers().size(), 6u);
  EXPECT_EQ(client.status(), 0);
}

TEST(ServerLifecycle, AgreesOnUtf8PositionsWhenTheClientOffersThem) {
  ScriptedClient client;
  client.start({"utf-32", "utf-8", "utf-16"}).finish();
  client.run();
  EXPECT_EQ(client.answer(0)["result"]["capabilities"]["positionEncoding"], "utf-8");
}

TEST(ServerMalformedInput, AnswersEachWithItsErrorAndGoesOn) {
  struct Case {
    const char* name;
    std::string bytes;
    Json error;  // the answer's id is null: the message could not be read that far
  };
  const Case cases[] = {
      {"not JSON", frame("{\"jsonrp"),
       {{"code", -32700}, {"message", "the message is no JSON"}}},
      {"no Content-Length", "Content-Type: x\r\n\r\n",
       {{"code", -32700}, {"message", "the header has no Content-Length"}}},
      {"a Content-Length that is no number", "Content-Length: ten\r\n\r\n",
       {{"code", -32700}, {"message", "the Content-Length is no number"}}},
      {"over the cap", "Content-Length: 5000\r\n\r\n" + std::string(5000, ' '),
       {{"code", -32600}, {"message", "a message of 5000 bytes is over the limit of 4096 bytes"}}},
      {"not JSON-RPC 2.0", frame("{\"id\":1,\"method\":\"initialize\"}"),
       {{"code", -32600}, {"message", "the message is no JSON-RPC 2.0 object"}}},
      {"an array", frame("[]"),
       {{"code", -32600}, {"message", "the message is no JSON-RPC 2.0 object"}}},
      {"no method", frame("{\"jsonrpc\":\"2.0\"}"),
       {{"code", -32600}, {"message", "the message has no method"}}},
      {"an id of no protocol type",
       frame("{\"jsonrpc\":\"2.0\",\"id\":[1],\"method\":\"initialize\"}"),
       {{"code", -32600}, {"message", "the method, id or params are not of their types"}}},
  };
  for (const Case& c : cases) {
    ScriptedClient client;
    client.bytes(c.bytes).start().finish();
    client.run(system_files(), 4096);
    ASSERT_GE(client.answers().size(), 3u) << c.name;
    EXPECT_EQ(client.answers()[0], (Json{{"jsonrpc", "2.0"}, {"id", nullptr}, {"error", c.error}}))
        << c.name;
    // The session after it runs as usual.
    EXPECT_TRUE(client.answer(0).contains("result")) << c.name;
    EXPECT_EQ(client.status(), 0) << c.name;
  }
}

TEST(ServerMalformedInput, ParamsOfTheWrongShapeAreInvalidParams) {
  ScriptedClient client;
  client.start()
      .request(1, "textDocument/hover", {{"textDocument", 5}})
      .request(2, "textDocument/hover",
               {{"textDocument", {{"uri", "file:///nowhere/x_linea.txt"}}},
                {"position", {{"line", 0}, {"character", 0}}}})
      // A didOpen without its text is dropped, and the server goes on.
      .notify("textDocument/didOpen", {{"textDocument", {{"uri", "file:///x_linea.txt"}}}})
      .finish();
  client.run();
  EXPECT_EQ(client.answer(1)["error"]["code"], -32602);
  EXPECT_EQ(client.answer(2)["error"],
            (Json{{"code", -32602}, {"message", "the document is not open: file:///nowhere/x_linea.txt"}}));
  EXPECT_EQ(client.status(), 0);
}

}  // namespace
}  // namespace scengen::lsp
