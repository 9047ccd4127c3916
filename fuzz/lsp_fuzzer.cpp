// Fuzzes the language server's message reader and dispatcher: any bytes are a session on its
// standard input. The server must end (at the exit notification or the end of the input) with
// status 0 or 1, and everything it sends must be framed messages of JSON-RPC 2.0. It reads no
// file: a partner text is missing. Any crash, sanitizer report or broken invariant is a finding.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

#include "lsp/json_rpc.h"
#include "lsp/message_framing.h"
#include "lsp/server.h"
#include "platform/file_layer.h"

namespace {

using namespace scengen;

[[noreturn]] void broken(const char* what) {
  std::fprintf(stderr, "invariant broken: %s\n", what);
  std::abort();
}

void check(bool holds, const char* what) {
  if (!holds) broken(what);
}

// A file system with no file in it, and no place to write one.
class NoFiles : public FileLayer {
 public:
  void write_replacing(const std::filesystem::path&, std::string_view) override {
    broken("the server wrote a file");
  }
  FileRead read_whole(const std::filesystem::path&) override { return {}; }
  void remove(const std::filesystem::path&) override { broken("the server removed a file"); }
};

// A small cap, so that the fuzzer meets the refusal of a message too large.
constexpr size_t kCap = 1 << 16;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
  std::ostringstream out;
  NoFiles files;
  const int status = lsp::run_language_server(in, out, files, kCap);
  check(status == 0 || status == 1, "an exit status other than 0 or 1");

  std::istringstream sent(out.str());
  lsp::MessageReader reader(sent);
  for (;;) {
    lsp::Frame frame = reader.next();
    if (frame.status == lsp::FrameStatus::End) break;
    check(frame.status == lsp::FrameStatus::Message, "an answer that is not framed");
    const lsp::Json message = lsp::Json::parse(frame.body, nullptr, false);
    check(message.is_object() && message.value("jsonrpc", "") == "2.0",
          "an answer that is not JSON-RPC 2.0");
    check(message.contains("method") || message.contains("id"), "an answer with no id or method");
  }
  return 0;
}
