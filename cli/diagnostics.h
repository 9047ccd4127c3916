// How compile and check tell an author what the compile found: compiler-style lines with the text
// line and a caret, or JSON.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "compiler/compilation.h"
#include "compiler/compile.h"
#include "compiler/source_text.h"

namespace scengen {

/// An author's two description texts: their paths as given and their bytes.
struct AuthorTexts {
  std::filesystem::path line_path;
  std::filesystem::path train_path;
  std::string line;
  std::string train;
  /// The bytes are UTF-8 still: texts given as UTF-8 that could not be converted. Their lines are
  /// shown as they are and a column counts characters.
  bool utf8 = false;
  /// With --encoding auto, how each text was read: "UTF-8" or "Windows-1252"; else empty.
  std::string line_read_as;
  std::string train_read_as;

  const std::filesystem::path& path(TextKind text) const {
    return text == TextKind::Line ? line_path : train_path;
  }
  const std::string& bytes(TextKind text) const { return text == TextKind::Line ? line : train; }
};

/// One error to tell an author, with the place and words it is shown with.
struct ReportedError {
  int32_t code = 0;  // 0: an error without a code (no track was compiled)
  int32_t position = 0;
  std::string message;              // the code's meaning
  std::string detail;               // what the compiler adds: the cause, what holds the cell
  std::optional<TextKind> text;     // the description text it belongs to, when known
  std::optional<SourceSpot> where;  // its line and column, when the reader noted them
  ErrorReach reach = ErrorReach::ReadsOn;
};

/// What one compile of an author's texts found, and what it wrote.
struct CompileReport {
  int32_t status_code = 0;
  int32_t status_position = 0;
  std::string message;              // the error's meaning; empty when there is none
  std::string detail;               // what the compiler adds: the cause, what holds the cell
  std::optional<TextKind> text;     // the description text the error belongs to, when known
  std::optional<SourceSpot> where;  // its line and column, when the reader noted them
  bool stopped = false;             // no binary file may be written (no track, or 1250 / 1251)
  /// Every error of the compile and of the reading on after it, in text order; empty when the
  /// compile found none (or when the report is about the texts' bytes: then the fields above).
  std::vector<ReportedError> errors;
  std::vector<CompileWarning> warnings;
  size_t warnings_left_out = 0;  // warnings past the cap: counted, not kept
  std::vector<std::filesystem::path> files_written;

  bool failed() const { return status_code != 0 || stopped; }
};

/// The report of a finished compile (files_written left empty).
CompileReport make_report(const Compilation& c, const CompileOutcome& outcome);

/// Compiles the author's texts into `c` (its identity and warning options set by the caller)
/// and, when the compile records an error, reads on through both texts for diagnostics only, so
/// that one pass tells every error and warning (see read_on_after_error). The compile itself is
/// exactly compile_scenario's.
CompileOutcome compile_author_texts(Compilation& c, const AuthorTexts& texts, int32_t compile_flag);

/// Prints the warnings and the errors in text order: "FILE:LINE:COLUMN: error N: meaning (at P
/// m)", then the text line and a caret under the field; each ends with the `scengen explain`
/// topic that tells more, when there is one. An error that stops the reading of its text says
/// so in a note under it; one met after the stop says that. Warnings left out by the cap are
/// counted in one line.
void print_diagnostics(const CompileReport& report, const AuthorTexts& texts, std::ostream& err);

/// The report as one JSON object: status_code, status_position, message, file, line, column
/// (the compile's own error), errors (every error in text order), warnings, warnings_left_out,
/// files_written; with --encoding auto also line_encoding and train_encoding.
std::string report_json(const CompileReport& report, const AuthorTexts& texts);

/// How many columns of a long text line are shown around the caret.
inline constexpr size_t kShownColumns = 120;

/// The text line as UTF-8 and, under it, a caret at `column` (from 1), each indented by two
/// blanks and ended by a line end; nothing when the text has no such line. A line longer than
/// kShownColumns is cut around the caret, "..." marking each cut, so that a diagnostic on a line
/// of a megabyte prints a few hundred bytes. `utf8`: the line is UTF-8 already and `column`
/// counts its characters.
std::string show_place(const LineIndex& lines, int line, int column, bool utf8 = false);

}  // namespace scengen
