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

/// What one compile of an author's texts found, and what it wrote.
struct CompileReport {
  int32_t status_code = 0;
  int32_t status_position = 0;
  std::string message;              // the error's meaning; empty when there is none
  std::string detail;               // what the compiler adds: the cause, what holds the cell
  std::optional<TextKind> text;     // the description text the error belongs to, when known
  std::optional<SourceSpot> where;  // its line and column, when the reader noted them
  bool stopped = false;             // no binary file may be written (no track, or 1250 / 1251)
  std::vector<CompileWarning> warnings;
  size_t warnings_left_out = 0;  // warnings past the cap: counted, not kept
  std::vector<std::filesystem::path> files_written;

  bool failed() const { return status_code != 0 || stopped; }
};

/// The report of a finished compile (files_written left empty).
CompileReport make_report(const Compilation& c, const CompileOutcome& outcome);

/// Prints the warnings and the error in text order: "FILE:LINE:COLUMN: error N: meaning (at P m)",
/// then the text line and a caret under the field; each ends with the `scengen explain` topic
/// that tells more, when there is one. Warnings left out by the cap are counted in one line.
void print_diagnostics(const CompileReport& report, const AuthorTexts& texts, std::ostream& err);

/// The report as one JSON object: status_code, status_position, message, file, line, column,
/// warnings, warnings_left_out, files_written; with --encoding auto also line_encoding and
/// train_encoding.
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
