// Positions as the protocol counts them: a line from 0 and a character offset in the line, in
// UTF-16 code units (the default) or UTF-8 bytes (when the client offers it). The texts are
// Windows-1252 bytes, one character each, so a column of the compiler counts characters.
#pragma once

#include <cstddef>
#include <string_view>

#include "compiler/source_text.h"

namespace scengen::lsp {

enum class PositionEncoding { Utf16, Utf8 };

/// A place in a document as the protocol gives it; both from 0.
struct Position {
  int line = 0;
  int character = 0;

  bool operator==(const Position&) const = default;
};

/// A stretch of a document: `end` just past its last character.
struct Range {
  Position start;
  Position end;
};

/// How many units of `encoding` the Windows-1252 bytes take.
int units_of_windows_1252(std::string_view bytes, PositionEncoding encoding);

/// How many units of `encoding` the UTF-8 bytes take (a character beyond the 16-bit plane is two
/// UTF-16 units).
int units_of_utf8(std::string_view bytes, PositionEncoding encoding);

/// The positions of one Windows-1252 text, its lines indexed once. The text must outlive it.
class TextPositions {
 public:
  TextPositions(std::string_view text, PositionEncoding encoding)
      : text_(text), lines_(text), encoding_(encoding) {}

  /// The position of the byte at `column` (from 1) of `line` (from 1); past the line's end, its
  /// end.
  Position at(int line, int column) const;

  /// The byte offset of a position: a character past its line's end is the line's end, a line
  /// past the text's last is the text's end.
  size_t offset(const Position& position) const;

  /// The position of the byte at `offset`.
  Position at_offset(size_t offset) const;

  /// The bytes of line `line` (from 0) without its line end.
  std::string_view line(int line) const { return lines_.line(line + 1); }
  int line_count() const { return lines_.line_count(); }
  const LineIndex& lines() const { return lines_; }

 private:
  std::string_view text_;
  LineIndex lines_;
  PositionEncoding encoding_;
};

/// The position of the byte at `offset` of a UTF-8 text, lines ending as the compiler counts
/// them: for a place in a text that has no Windows-1252 form.
Position utf8_position(std::string_view text, size_t offset, PositionEncoding encoding);

}  // namespace scengen::lsp
