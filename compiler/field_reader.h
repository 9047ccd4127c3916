// The field reader of both description texts: one stream of fields, not of lines.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "compiler/compilation.h"

namespace scengen {

/// A reading failure inside read_descriptions: the end of the text inside a record, a number too
/// large for its width, a table that is full. Only read_descriptions's code-25 handler catches it.
struct ReadFailure {
  SourceSpot where;
  std::string reason;
};

enum class NumberWidth { Long, Integer, Byte };

/// The text without the blanks (spaces and tabs) that the field reader skips, at both ends.
inline std::string_view trim_blanks(std::string_view text) {
  const auto blank = [](char ch) { return ch == ' ' || ch == '\t'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

/// Whether `field` contains `keyword` (given in lower case), ASCII letters compared without
/// regard to case; every other byte must match exactly.
inline bool contains_ignoring_case(std::string_view field, std::string_view keyword) {
  const auto fold = [](char ch) { return ch >= 'A' && ch <= 'Z' ? char(ch - 'A' + 'a') : ch; };
  if (keyword.empty()) return true;
  if (keyword.size() > field.size()) return false;
  // Only the places where the keyword's first byte stands, in either case, are compared further.
  // A folded byte is never a capital, so a keyword that starts with one matches nothing.
  const char first = keyword[0];
  if (first >= 'A' && first <= 'Z') return false;
  const char first_upper = first >= 'a' && first <= 'z' ? char(first - 'a' + 'A') : first;
  const size_t places = field.size() - keyword.size() + 1;
  for (size_t at = 0; at < places; ++at) {
    if (field[at] != first && field[at] != first_upper) continue;
    size_t n = 1;
    while (n < keyword.size() && fold(field[at + n]) == keyword[n]) ++n;
    if (n == keyword.size()) return true;
  }
  return false;
}

/// Reads fields from a text held in memory, never past its end.
///
/// A field ends at a comma or a line end (CR LF, LF or CR); blanks (space, tab) before it are
/// skipped. A number field also ends at a blank; blanks after it and one comma or line end directly
/// after them belong to it. A text field in double quotes runs to the closing quote. Reading a
/// field when no byte at all is left fails (code 25); a field made of the last blanks of the text
/// is an empty field that ends the text.
class FieldReader {
 public:
  FieldReader(std::string_view text, TextKind kind) : text_(text), kind_(kind) {}

  /// True when no byte is left: the field just read ended the text.
  bool at_end() const { return pos_ >= text_.size(); }

  /// Reads a text field (a keyword, a board text, a station name). Blanks at its end are dropped;
  /// a quoted field keeps everything between its quotes.
  std::string_view read_text();

  /// Reads a number field: its leading whole number (optional sign, digits); 0 when it has none.
  /// Fails when no byte is left or the number does not fit the width.
  int32_t read_number(NumberWidth width);
  int32_t read_long() { return read_number(NumberWidth::Long); }
  int16_t read_integer() { return static_cast<int16_t>(read_number(NumberWidth::Integer)); }
  uint8_t read_byte() { return static_cast<uint8_t>(read_number(NumberWidth::Byte)); }

  /// Notes a warning in `c` for every number field that holds more than a whole number, when `c`
  /// collects warnings.
  void warn_into(Compilation& c) { warnings_ = &c; }

  /// Where the field read last begins (after its leading blanks).
  SourceSpot field_start() const { return field_start_; }

  /// The line of the next byte to read (from 1).
  int line() const { return line_; }

  /// How many fields have been read so far.
  int fields_read() const { return fields_read_; }

  /// Whether the rest of the current line holds more than blanks and commas (for the warning
  /// about a line with more fields than its record takes). Looks no further than the first
  /// byte that is neither.
  bool rest_of_line_has_fields() const {
    for (size_t at = pos_; at < text_.size() && !is_line_end(at); ++at) {
      if (text_[at] != ',' && !is_blank(at)) return true;
    }
    return false;
  }

  /// Passes over the rest of the current line, when a field of it has been read; the next field
  /// is then the next line's first. A reading on after an error resumes there.
  void skip_rest_of_line() {
    if (pos_ == line_begin_) return;
    while (!at_end() && !is_line_end(pos_)) ++pos_;
    take_separator();
  }

  /// The field read last, its blanks and quotes left out (a view into the text).
  std::string_view last_field() const { return last_field_; }

  /// The field read last as the author wrote it: the text between the commas or line ends around
  /// it, without blanks at its ends (quotes not honoured). It holds more than last_field() where
  /// a number field ended at a blank inside it.
  std::string_view written_field() const {
    size_t begin = field_offset_;
    while (begin > 0 && text_[begin - 1] != ',' && !is_line_end(begin - 1)) --begin;
    size_t end = field_offset_;
    while (end < text_.size() && text_[end] != ',' && !is_line_end(end)) ++end;
    return trim_blanks(text_.substr(begin, end - begin));
  }

  /// The next field of the current line as a text field would read it, at most `most` bytes of
  /// it; empty at a line end. For the warnings about what follows a record.
  std::string_view peek_field(size_t most) const {
    size_t begin = pos_;
    while (begin < text_.size() && is_blank(begin)) ++begin;
    size_t end = begin;
    while (end < text_.size() && end - begin < most && text_[end] != ',' && !is_line_end(end))
      ++end;
    return text_.substr(begin, end - begin);
  }

  /// Whether the field read last ended at a comma that stands between two digits ("-3,5").
  bool comma_inside_number() const {
    const auto digit = [&](size_t at) { return text_[at] >= '0' && text_[at] <= '9'; };
    return pos_ >= 2 && pos_ < text_.size() && text_[pos_ - 1] == ',' && digit(pos_ - 2) &&
           digit(pos_);
  }

  /// Stops the reading with code 25 at the field read last.
  [[noreturn]] void fail(std::string reason) const {
    throw ReadFailure{field_start_, std::move(reason)};
  }

 private:
  bool is_line_end(size_t at) const { return text_[at] == '\r' || text_[at] == '\n'; }
  bool is_blank(size_t at) const { return text_[at] == ' ' || text_[at] == '\t'; }
  void skip_blanks();
  void begin_field();
  [[noreturn]] void fail_at_end();
  void step();  // advances one byte, counting line ends
  void take_separator();

  std::string_view text_;
  TextKind kind_;
  size_t pos_ = 0;
  int line_ = 1;
  size_t line_begin_ = 0;
  SourceSpot field_start_{};
  size_t field_offset_ = 0;  // where the field read last begins in the text
  std::string_view last_field_;
  int fields_read_ = 0;
  Compilation* warnings_ = nullptr;
};

}  // namespace scengen
