// What check, compile and render share about reading an author's texts and reporting on them:
// the texts' encoding, the cap on warnings and whether warnings fail the command.
#pragma once

#include <CLI/CLI.hpp>
#include <cstddef>
#include <optional>
#include <string>

#include "cli/commands.h"
#include "cli/diagnostics.h"

namespace scengen {

/// --encoding ENCODING: "windows-1252" (the texts' own code page, the default), "utf-8" (also
/// written "utf8") or "auto" (each text by itself); any case.
void add_encoding_option(CLI::App& command, std::string& encoding);

/// The status_code of the JSON report of a text that cannot be read in its encoding: none of the
/// compile's codes, so that a script tells it from a clean compile and from a compile error.
inline constexpr int32_t kEncodingErrorCode = 1252;

/// --max-warnings N and, when `strict` is given, --strict.
void add_warning_options(CLI::App& command, size_t& max_warnings, bool* strict);

/// Turns texts saved as UTF-8 into the Windows-1252 bytes the compile reads (a leading byte-order
/// mark is dropped): both texts with "utf-8"; with "auto" each text that is valid UTF-8 holding a
/// character beyond ASCII, noting in `texts` how each was read. Nothing when the texts need no
/// change or were converted; otherwise the report of the first character that has no
/// Windows-1252 byte (or of bytes that are no UTF-8), with its file, line and column; the texts
/// are then left as read.
std::optional<CompileReport> decode_author_texts(AuthorTexts& texts, const std::string& encoding);

/// With --encoding auto, one line per text on `err` saying how it was read.
void print_encodings(const AuthorTexts& texts, std::ostream& err);

/// Reports a text that cannot be read in its encoding: as JSON on `out` (status_code
/// kEncodingErrorCode), else as a diagnostic on `err` followed by `consequence` when not empty.
void report_encoding_failure(const CompileReport& failure, const AuthorTexts& texts, bool json,
                             const char* consequence, Console& console);

/// The warnings a report holds, those shown and those left out.
inline size_t warning_count(const CompileReport& report) {
  return report.warnings.size() + report.warnings_left_out;
}

/// With --strict, says on `err` that the warnings fail the command and returns true.
bool strict_failure(const CompileReport& report, bool strict, std::ostream& err, bool quiet);

}  // namespace scengen
