// The protocol's framing on a byte stream: a header of "Name: value" lines, an empty line, then
// a body of Content-Length bytes.
#pragma once

#include <cstddef>
#include <iosfwd>
#include <string>
#include <string_view>

#include "platform/input_limits.h"

namespace scengen::lsp {

/// The largest message body read: a document of the largest text, with room for its escapes.
inline constexpr size_t kMaxMessageBytes = 2 * kMaxTextBytes;

/// How the reading of one message ended.
enum class FrameStatus {
  Message,    // `body` holds the message
  Malformed,  // the header had no usable Content-Length; `problem` says why
  TooLarge,   // the body was over the cap and was skipped unread; `problem` says so
  End,        // the input ended (between messages or inside one)
};

struct Frame {
  FrameStatus status = FrameStatus::End;
  std::string body;
  std::string problem;
};

/// Reads framed messages one after another. After a malformed header it reads on from the next
/// line, so that a stream with one bad header still delivers the messages after it.
class MessageReader {
 public:
  /// Reads from `in`, refusing bodies longer than `cap` bytes.
  explicit MessageReader(std::istream& in, size_t cap = kMaxMessageBytes);

  /// The next message, or why there is none.
  Frame next();

 private:
  enum class LineEnd { Line, TooLong, End };
  LineEnd read_line(std::string& line);
  Frame read_body(size_t length);

  std::istream& in_;
  size_t cap_;
};

/// Writes `body` with its header and flushes, so that the client sees it at once.
void write_message(std::ostream& out, std::string_view body);

}  // namespace scengen::lsp
