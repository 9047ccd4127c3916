#include "cli/report_options.h"

#include <cstdio>
#include <ostream>

#include "compiler/source_text.h"

namespace scengen {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// The code point of the valid UTF-8 character at the start of `text`, for the message.
char32_t code_point_at(std::string_view text) {
  const auto lead = static_cast<unsigned char>(text[0]);
  const int length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
  char32_t code = length == 1 ? lead : lead & (0x7F >> length);
  for (int i = 1; i < length && static_cast<size_t>(i) < text.size(); ++i) {
    code = (code << 6) | (static_cast<unsigned char>(text[i]) & 0x3F);
  }
  return code;
}

// Why one text could not be converted, placed in it.
CompileReport encoding_error(TextKind kind, std::string_view text,
                             const Windows1252Failure& failure) {
  CompileReport report;
  report.stopped = true;
  report.text = kind;
  const LineIndex lines(text);
  const TextPlace place = lines.line_of(failure.offset);
  // The column counts characters, as the author's editor does.
  int column = 1;
  const std::string_view line = lines.line(place.line);
  for (int i = 0; i + 1 < place.column && static_cast<size_t>(i) < line.size(); ++i) {
    if ((static_cast<unsigned char>(line[i]) & 0xC0) != 0x80) ++column;
  }
  report.where = SourceSpot{kind, place.line, column};
  if (failure.invalid_utf8) {
    report.message = "the bytes here are not UTF-8: is the text saved in Windows-1252?";
  } else {
    char code[16];
    std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(code_point_at(
                                                   text.substr(failure.offset))));
    report.message = std::string("the character ") + code +
                     " has no byte in Windows-1252, the code page of the texts";
  }
  return report;
}

}  // namespace

void add_encoding_option(CLI::App& command, std::string& encoding) {
  command
      .add_option("--encoding", encoding,
                  "How the texts are saved: windows-1252 (the simulator's code page) or utf-8 "
                  "(converted to windows-1252 before the compile)")
      ->transform(CLI::IsMember({"windows-1252", "utf-8"}, CLI::ignore_case))
      ->default_str("windows-1252");
}

void add_warning_options(CLI::App& command, size_t& max_warnings, bool* strict) {
  command
      .add_option("--max-warnings", max_warnings,
                  "Show at most N warnings, then how many more there are (default: 50)")
      ->type_name("N")
      ->check(CLI::NonNegativeNumber);
  if (strict != nullptr) {
    command.add_flag("--strict", *strict, "Fail with status 1 when there is a warning");
  }
}

std::optional<CompileReport> decode_author_texts(AuthorTexts& texts, const std::string& encoding) {
  if (encoding != "utf-8") return std::nullopt;
  std::string converted[2];
  for (const TextKind kind : {TextKind::Line, TextKind::Train}) {
    std::string& bytes = kind == TextKind::Line ? texts.line : texts.train;
    if (bytes.starts_with(kByteOrderMark)) bytes.erase(0, kByteOrderMark.size());
    Windows1252Failure failure;
    auto text = windows_1252_from_utf8(bytes, &failure);
    if (!text) {
      texts.utf8 = true;
      return encoding_error(kind, bytes, failure);
    }
    converted[kind == TextKind::Line ? 0 : 1] = std::move(*text);
  }
  texts.line = std::move(converted[0]);
  texts.train = std::move(converted[1]);
  return std::nullopt;
}

bool strict_failure(const CompileReport& report, bool strict, std::ostream& err, bool quiet) {
  const size_t count = warning_count(report);
  if (!strict || count == 0) return false;
  if (!quiet) {
    err << "scengen: " << count << " warning" << (count == 1 ? "" : "s")
        << " and --strict: the texts are refused\n";
  }
  return true;
}

}  // namespace scengen
