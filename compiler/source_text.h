// The scenario texts' encoding and lines: every front end shows a text's bytes and finds a
// diagnostic's line through these, so a name or a line reads the same in every command.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace scengen {

/// The Windows-1252 bytes as UTF-8, for terminals, JSON, SVG and HTML. The five bytes the code
/// page leaves unassigned (0x81, 0x8D, 0x8F, 0x90, 0x9D) become U+FFFD, the replacement
/// character: a reader sees "an unknown byte", and the result stays valid in XML and JSON.
std::string utf8_from_windows_1252(std::string_view bytes);

/// Why a UTF-8 text has no Windows-1252 form, and where.
struct Windows1252Failure {
  size_t offset = 0;          // byte offset of the first character that fails
  bool invalid_utf8 = false;  // true: the bytes there are no UTF-8; false: no Windows-1252 byte
};

/// The UTF-8 text as Windows-1252 bytes, so that a text written in UTF-8 compiles as the same
/// bytes as one written in the code page. Nothing when a character has no byte in the code page
/// (U+FFFD and the C1 controls among them) or the UTF-8 is invalid (overlong, surrogate, cut
/// short); `failure`, when given, then says where.
std::optional<std::string> windows_1252_from_utf8(std::string_view utf8,
                                                  Windows1252Failure* failure = nullptr);

/// A line and a column of a text, both from 1; the column counts bytes.
struct TextPlace {
  int line = 1;
  int column = 1;

  bool operator==(const TextPlace&) const = default;
};

/// The starts of a text's lines, found once, so that each diagnostic finds its line by a binary
/// search instead of walking the text from its start. Lines end as the field reader counts them:
/// CR LF, a lone LF or a lone CR. A text that ends in a line end has an empty last line after it.
/// The index keeps a view of the text: the text must outlive it.
class LineIndex {
 public:
  /// Indexes `text` in one pass.
  explicit LineIndex(std::string_view text);

  /// The line and column of the byte at `offset`; an offset at or past the end of the text is
  /// the place just after its last byte. A line end belongs to the line it ends.
  TextPlace line_of(size_t offset) const;

  /// The bytes of line `line` (from 1) without its line end; empty when there is no such line.
  std::string_view line(int line) const;

  /// How many lines the text has: 1 for an empty text.
  int line_count() const { return static_cast<int>(starts_.size()); }

 private:
  std::string_view text_;
  std::vector<size_t> starts_;
};

}  // namespace scengen
