#include "lsp/message_framing.h"

#include <algorithm>
#include <cctype>
#include <istream>
#include <optional>
#include <string>
#include <ostream>

namespace scengen::lsp {
namespace {

// A header line longer than this is no header the protocol knows; the rest of it is dropped.
constexpr size_t kLongestHeaderLine = 1024;

constexpr std::string_view kContentLength = "content-length:";

std::string lower_ascii(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower;
}

// The Content-Length a header line gives: nothing when the line names none, SIZE_MAX when the
// value is no number. The name is looked for anywhere in the line, so that a header that follows
// the remains of a cut body on its line is still found.
std::optional<size_t> content_length(std::string_view line) {
  const std::string lower = lower_ascii(line);
  const size_t at = lower.rfind(kContentLength);
  if (at == std::string::npos) return std::nullopt;
  std::string_view value = line.substr(at + kContentLength.size());
  while (!value.empty() && (value.front() == ' ' || value.front() == '\t')) value.remove_prefix(1);
  while (!value.empty() && (value.back() == ' ' || value.back() == '\t')) value.remove_suffix(1);
  if (value.empty() || value.size() > 18) return SIZE_MAX;
  size_t length = 0;
  for (const char c : value) {
    if (c < '0' || c > '9') return SIZE_MAX;
    length = length * 10 + static_cast<size_t>(c - '0');
  }
  return length;
}

}  // namespace

MessageReader::MessageReader(std::istream& in, size_t cap) : in_(in), cap_(cap) {}

MessageReader::LineEnd MessageReader::read_line(std::string& line) {
  line.clear();
  std::streambuf& buffer = *in_.rdbuf();
  bool too_long = false;
  for (;;) {
    const int c = buffer.sbumpc();
    if (c == std::char_traits<char>::eof()) return LineEnd::End;
    if (c == '\n') break;
    if (line.size() < kLongestHeaderLine) {
      line.push_back(static_cast<char>(c));
    } else {
      too_long = true;
    }
  }
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return too_long ? LineEnd::TooLong : LineEnd::Line;
}

Frame MessageReader::next() {
  std::optional<size_t> length;
  bool header_seen = false;
  bool too_long = false;
  std::string line;
  for (;;) {
    const LineEnd end = read_line(line);
    if (end == LineEnd::End) return {FrameStatus::End, {}, {}};
    if (end == LineEnd::TooLong) too_long = true;
    if (line.empty()) {
      if (!header_seen) continue;  // blank lines between messages are passed over
      break;
    }
    header_seen = true;
    if (const auto value = content_length(line)) length = value;
  }
  if (too_long) return {FrameStatus::Malformed, {}, "a header line is too long"};
  if (!length) return {FrameStatus::Malformed, {}, "the header has no Content-Length"};
  if (*length == SIZE_MAX) return {FrameStatus::Malformed, {}, "the Content-Length is no number"};
  return read_body(*length);
}

Frame MessageReader::read_body(size_t length) {
  std::streambuf& buffer = *in_.rdbuf();
  if (length > cap_) {
    // Skipped a piece at a time: a huge message costs no memory.
    char skipped[4096];
    for (size_t left = length; left > 0;) {
      const auto piece = static_cast<std::streamsize>(std::min(left, sizeof skipped));
      const std::streamsize got = buffer.sgetn(skipped, piece);
      if (got <= 0) return {FrameStatus::End, {}, {}};
      left -= static_cast<size_t>(got);
    }
    return {FrameStatus::TooLarge, {},
            "a message of " + std::to_string(length) + " bytes is over the limit of " +
                std::to_string(cap_) + " bytes"};
  }
  // Read a piece at a time, so that a length the input never fills costs only what arrived.
  Frame frame{FrameStatus::Message, {}, {}};
  constexpr size_t kPiece = size_t{1} << 16;
  while (frame.body.size() < length) {
    const size_t from = frame.body.size();
    const size_t piece = std::min(kPiece, length - from);
    frame.body.resize(from + piece);
    const std::streamsize got =
        buffer.sgetn(frame.body.data() + from, static_cast<std::streamsize>(piece));
    if (got != static_cast<std::streamsize>(piece)) return {FrameStatus::End, {}, {}};
  }
  return frame;
}

void write_message(std::ostream& out, std::string_view body) {
  out << "Content-Length: " << body.size() << "\r\n\r\n" << body;
  out.flush();
}

}  // namespace scengen::lsp
