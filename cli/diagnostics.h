// How compile and check tell an author what the compile found: compiler-style lines with the text
// line and a caret, or JSON.
#pragma once

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
  std::vector<std::filesystem::path> files_written;

  bool failed() const { return status_code != 0 || stopped; }
};

/// The report of a finished compile (files_written left empty).
CompileReport make_report(const Compilation& c, const CompileOutcome& outcome);

/// Prints the warnings and the error in text order: "FILE:LINE:COLUMN: error N: meaning (at P m)",
/// then the text line and a caret under the field.
void print_diagnostics(const CompileReport& report, const AuthorTexts& texts, std::ostream& err);

/// The report as one JSON object: status_code, status_position, message, file, line, column,
/// warnings, files_written.
std::string report_json(const CompileReport& report, const AuthorTexts& texts);

/// The text line as UTF-8 and, under it, a caret at `column` (from 1), each indented by two
/// blanks and ended by a line end; nothing when the text has no such line.
std::string show_place(const LineIndex& lines, int line, int column);

}  // namespace scengen
