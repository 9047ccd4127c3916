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

/// --encoding ENCODING: "windows-1252" (the texts' own code page, the default) or "utf-8".
void add_encoding_option(CLI::App& command, std::string& encoding);

/// --max-warnings N and, when `strict` is given, --strict.
void add_warning_options(CLI::App& command, size_t& max_warnings, bool* strict);

/// Turns texts saved as UTF-8 into the Windows-1252 bytes the compile reads (a leading byte-order
/// mark is dropped). Nothing when the texts need no change or were converted; otherwise the
/// report of the first character that has no Windows-1252 byte (or of bytes that are no UTF-8),
/// with its file, line and column; the texts are then left as read.
std::optional<CompileReport> decode_author_texts(AuthorTexts& texts, const std::string& encoding);

/// The warnings a report holds, those shown and those left out.
inline size_t warning_count(const CompileReport& report) {
  return report.warnings.size() + report.warnings_left_out;
}

/// With --strict, says on `err` that the warnings fail the command and returns true.
bool strict_failure(const CompileReport& report, bool strict, std::ostream& err, bool quiet);

}  // namespace scengen
