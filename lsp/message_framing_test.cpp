#include "lsp/message_framing.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace scengen::lsp {
namespace {

// One frame as the test writes it: its status and its body or problem.
struct Read {
  FrameStatus status;
  std::string text;
  bool operator==(const Read&) const = default;
};

std::vector<Read> read_all(const std::string& input, size_t cap) {
  std::istringstream in(input);
  MessageReader reader(in, cap);
  std::vector<Read> frames;
  for (;;) {
    Frame frame = reader.next();
    frames.push_back({frame.status, frame.status == FrameStatus::Message ? frame.body : frame.problem});
    if (frame.status == FrameStatus::End) return frames;
  }
}

TEST(MessageReader, ReadsFramesAndRecoversFromBadHeaders) {
  struct Case {
    const char* name;
    std::string input;
    std::vector<Read> frames;
  };
  constexpr FrameStatus M = FrameStatus::Message, X = FrameStatus::Malformed,
                        L = FrameStatus::TooLarge, E = FrameStatus::End;
  const Case cases[] = {
      {"two messages", "Content-Length: 2\r\n\r\n{}Content-Length: 3\r\n\r\n[1]",
       {{M, "{}"}, {M, "[1]"}, {E, ""}}},
      {"other header fields, any case, LF line ends",
       "Content-Type: application/vscode-jsonrpc; charset=utf-8\ncontent-LENGTH:  4 \n\nnull",
       {{M, "null"}, {E, ""}}},
      {"blank lines between messages", "\r\n\r\nContent-Length: 1\r\n\r\n1\r\n",
       {{M, "1"}, {E, ""}}},
      {"no Content-Length, then a good message",
       "Content-Type: x\r\n\r\nContent-Length: 2\r\n\r\n{}",
       {{X, "the header has no Content-Length"}, {M, "{}"}, {E, ""}}},
      {"a length that is no number", "Content-Length: 12a\r\n\r\nContent-Length: 1\r\n\r\n7",
       {{X, "the Content-Length is no number"}, {M, "7"}, {E, ""}}},
      {"a length too short: the rest of the body runs into the next header",
       "Content-Length: 3\r\n\r\n{\"a\":1}Content-Length: 2\r\n\r\n{}",
       {{M, "{\"a"}, {M, "{}"}, {E, ""}}},
      {"over the cap: skipped unread", "Content-Length: 11\r\n\r\n01234567890Content-Length: 2\r\n\r\n{}",
       {{L, "a message of 11 bytes is over the limit of 10 bytes"}, {M, "{}"}, {E, ""}}},
      {"a header line too long", std::string(2000, 'x') + "\r\n\r\nContent-Length: 1\r\n\r\n5",
       {{X, "a header line is too long"}, {M, "5"}, {E, ""}}},
      {"a body cut short", "Content-Length: 10\r\n\r\n{}", {{E, ""}}},
      {"the input ends in a header", "Content-Length: 10\r\n", {{E, ""}}},
      {"no input", "", {{E, ""}}},
  };
  for (const Case& c : cases) EXPECT_EQ(read_all(c.input, 10), c.frames) << c.name;
}

TEST(MessageReader, WritesTheHeaderBeforeTheBody) {
  std::ostringstream out;
  write_message(out, "{\"x\":\"\xC3\xA0\"}");
  EXPECT_EQ(out.str(), "Content-Length: 10\r\n\r\n{\"x\":\"\xC3\xA0\"}");
}

}  // namespace
}  // namespace scengen::lsp
