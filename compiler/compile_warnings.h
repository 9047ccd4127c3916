// Warnings: what the compile accepts silently but is almost surely an author's mistake. Each check
// returns at once unless the compile collects warnings.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "compiler/compilation.h"
#include "compiler/keywords.h"

namespace scengen {

/// Warns about a keyword field that matches no record; section headers and empty fields are
/// expected there and pass. When `names` are given, the warning suggests the one nearest to the
/// field, the keyword the author may have meant (looked for only in a warning that is kept).
/// Returns whether the field warned, kept or counted beyond the cap.
bool warn_unmatched_field(Compilation& c, const SourceSpot& where, std::string_view field,
                          std::span<const std::string_view> names = {});

/// The record name among `names` nearest to `field` by edit distance, when it is near enough to be
/// a misspelling of it; empty otherwise. Long fields are not compared (they are no keyword).
std::string_view near_keyword(std::string_view field, std::span<const std::string_view> names);

/// One warning per line for the fields that match no record: once a line has had its warning, the
/// rest of its fields (read as keywords too) pass silently.
class UnmatchedLines {
 public:
  /// Notes that `line` needs no further warning about its fields.
  void mark(int line) { line_ = line; }
  /// Whether a field of `line` may still warn.
  bool open(int line) const { return line != line_; }

 private:
  int line_ = 0;
};

/// "line 5 of the train description"
std::string describe_spot(const SourceSpot& where);

/// Remembers which record placed a feature into `cell`, while collecting warnings, and whether
/// its keyword field looks like a header or comment read as a record.
void note_cell_source(Compilation& c, int64_t cell, const SourceSpot& where,
                      std::string_view record, std::string_view keyword_field = {});

/// How many bytes of a field a warning quotes; a longer field is cut, its size said.
inline constexpr size_t kQuotedBytes = 60;

/// The field in single quotes, cut after kQuotedBytes ("'abc...' (70000 bytes)"), so that no
/// warning copies a huge field.
std::string quote_field(std::string_view field);

/// Why a keyword field read as a record was probably not meant as one: a header holding a
/// keyword, a comment marked with '#', ';' or '//', fields separated by ';'. Empty otherwise.
std::string_view misread_record_hint(std::string_view field);

/// "cell 41 (2000 to 2050 m) holds a signal, placed by 'segnale' at line 5 of the train
/// description": what stands in a cell that a placement found taken.
std::string cell_holder(const Compilation& c, int64_t cell);

/// Puts into StatusDetail what holds `cell`, for an error about a taken cell.
void explain_taken_cell(Compilation& c, int64_t cell);

/// After the finishing pass recorded 11, 12 or 13: points StatusSource at the signal or the slow
/// order the error concerns, when the readers noted which record placed it.
void explain_finishing_error(Compilation& c);

/// After a seal error: says that cell 1 is reserved and, when known, points StatusSource at the
/// record that filled it.
void explain_seal_error(Compilation& c);

/// Warns when a description text looks saved in another encoding than Windows-1252: a UTF-16 or
/// UTF-8 byte order mark, or valid UTF-8 holding non-ASCII characters. One pass over the text.
void warn_encoding(Compilation& c, std::string_view text, TextKind kind);

/// Warns about a value that its cell's byte cannot hold, saying what it wraps to: a gradient
/// (per mille), a speed (km/h) or an adhesion.
void warn_wrapped_gradient(Compilation& c, const SourceSpot& where, int32_t per_mille);
void warn_wrapped_speed(Compilation& c, const SourceSpot& where, int32_t kmh);
void warn_wrapped_adhesion(Compilation& c, const SourceSpot& where, int32_t adhesion);

/// Warns about each value of a signal outside its range, saying what signal is compiled instead;
/// `spots` are the places of its ten values, in the record's order after the position.
void warn_signal_values(Compilation& c, std::span<const SourceSpot, 10> spots,
                        const SignalCell& signal);

/// Warns about each speed or stripes value of a speed board outside its range, saying what the
/// board is compiled as; `spots` are the places of its eight values after the position.
void warn_speed_board_values(Compilation& c, std::span<const SourceSpot, 8> spots,
                             const SpeedBoardCell& board);

/// Warns about the first control byte (NUL included) of a station name or a board text: `what`
/// names the text in the words ("the station name 'X'").
void warn_control_bytes(Compilation& c, const SourceSpot& where, std::string_view text,
                        std::string_view what, std::string_view record);

/// Checks that a record's fields sit on the line of its keyword: a record that takes a field from
/// a later line misses fields (or has a wrong separator), a line with fields left over holds too
/// many, a second record or a number cut by a decimal comma. Reported at the record's keyword.
class RecordFields {
 public:
  /// Call after the keyword field of a record is read.
  void begin(const SourceSpot& keyword, std::string_view field) {
    keyword_ = keyword;
    misread_ = misread_record_hint(field);
  }
  /// Call after the record's last value; `records` are the ones the reader may read next.
  void end(Compilation& c, std::string_view record, int values, const FieldReader& reader,
           std::span<const RecordSyntax> records, UnmatchedLines& unmatched);

 private:
  void too_many(Compilation& c, std::string_view record, int values, const FieldReader& reader,
                std::span<const RecordSyntax> records);

  SourceSpot keyword_{};
  std::string_view misread_;
};

/// Warns about a position that its record's cell rounds: one that is not a multiple of 50.
void warn_rounded_position(Compilation& c, const SourceSpot& where, std::string_view record,
                           int32_t position);

/// Warns about a feature of the route, or a station, beyond the end of the route. The track's
/// cells past the end are there for a train to run on (a code point may stand there), not for the
/// route's own features.
void warn_beyond_route(Compilation& c, const SourceSpot& where, std::string_view record,
                       int32_t position);

/// The positions of one series of records, which must ascend.
class SeriesOrder {
 public:
  explicit SeriesOrder(std::string_view record) : record_(record) {}
  /// Warns when `position` does not come after the previous record's.
  void check(Compilation& c, const SourceSpot& where, int32_t position);

 private:
  std::string_view record_;
  bool seen_ = false;
  int32_t last_ = 0;
};

/// The warning for a number field that holds more than a whole number ("12x", "12.5", "abc"),
/// or nothing when the field is empty or a plain number.
std::optional<std::string> number_field_warning(std::string_view field);

}  // namespace scengen
