#include "cli/report_options.h"

#include <cctype>
#include <cstdio>
#include <ostream>

#include "compiler/source_text.h"
#include "run/printable_text.h"

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
    report.message =
        "the bytes here are not UTF-8: is the text saved in Windows-1252? (--encoding auto reads "
        "each text as it is saved)";
  } else {
    char code[16];
    std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(code_point_at(
                                                   text.substr(failure.offset))));
    report.message = std::string("the character ") + code +
                     " has no byte in Windows-1252, the code page of the texts";
  }
  return report;
}

// Whether the bytes are UTF-8 throughout: no stray continuation byte, no sequence cut short,
// overlong, a surrogate or past U+10FFFF.
bool valid_utf8(std::string_view text) {
  for (size_t at = 0; at < text.size();) {
    const auto lead = static_cast<unsigned char>(text[at]);
    const size_t length = lead < 0x80 ? 1 : lead < 0xC2 ? 0 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3
                                                                         : lead < 0xF5 ? 4 : 0;
    if (length == 0 || at + length > text.size()) return false;
    char32_t code = length == 1 ? lead : lead & (0x7F >> length);
    for (size_t i = 1; i < length; ++i) {
      const auto next = static_cast<unsigned char>(text[at + i]);
      if ((next & 0xC0) != 0x80) return false;
      code = (code << 6) | (next & 0x3F);
    }
    const char32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < least[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
    at += length;
  }
  return true;
}

bool holds_non_ascii(std::string_view text) {
  for (const char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) return true;
  }
  return false;
}

// The encoding as the option names it: any case, "utf8" for "utf-8"; empty when it names none.
std::string encoding_name(std::string value) {
  for (char& c : value) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (value == "utf8") value = "utf-8";
  if (value == "auto" || value == "windows-1252" || value == "utf-8") return value;
  return {};
}

}  // namespace

void add_encoding_option(CLI::App& command, std::string& encoding) {
  command
      .add_option("--encoding", encoding,
                  "How the texts are saved: windows-1252 (the simulator's code page), utf-8 "
                  "(converted to windows-1252 before the compile) or auto (each text as UTF-8 "
                  "when it is valid UTF-8 beyond ASCII, else as windows-1252)")
      ->transform(CLI::Validator(
          [](std::string& value) -> std::string {
            const std::string name = encoding_name(value);
            if (name.empty()) return value + " is not one of auto, windows-1252, utf-8";
            value = name;
            return {};
          },
          "{auto,windows-1252,utf-8}"))
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
  if (encoding != "utf-8" && encoding != "auto") return std::nullopt;
  const bool automatic = encoding == "auto";
  bool as_utf8[2] = {!automatic, !automatic};
  if (automatic) {
    as_utf8[0] = holds_non_ascii(texts.line) && valid_utf8(texts.line);
    as_utf8[1] = holds_non_ascii(texts.train) && valid_utf8(texts.train);
    texts.line_read_as = as_utf8[0] ? "UTF-8" : "Windows-1252";
    texts.train_read_as = as_utf8[1] ? "UTF-8" : "Windows-1252";
  }
  std::string converted[2];
  for (const TextKind kind : {TextKind::Line, TextKind::Train}) {
    std::string& bytes = kind == TextKind::Line ? texts.line : texts.train;
    if (!as_utf8[kind == TextKind::Line ? 0 : 1]) {
      converted[kind == TextKind::Line ? 0 : 1] = std::move(bytes);
      continue;
    }
    if (bytes.starts_with(kByteOrderMark)) bytes.erase(0, kByteOrderMark.size());
    Windows1252Failure failure;
    auto text = windows_1252_from_utf8(bytes, &failure);
    if (!text) {
      // The texts stay as read: the other one may have been moved aside already.
      if (kind == TextKind::Train && !as_utf8[0]) texts.line = std::move(converted[0]);
      texts.utf8 = true;
      return encoding_error(kind, bytes, failure);
    }
    converted[kind == TextKind::Line ? 0 : 1] = std::move(*text);
  }
  texts.line = std::move(converted[0]);
  texts.train = std::move(converted[1]);
  return std::nullopt;
}

void print_encodings(const AuthorTexts& texts, std::ostream& err) {
  for (const TextKind kind : {TextKind::Line, TextKind::Train}) {
    const std::string& read_as = kind == TextKind::Line ? texts.line_read_as : texts.train_read_as;
    if (read_as.empty()) continue;
    // Named as the diagnostics name it: the path as given.
    const auto name = texts.path(kind).u8string();
    err << printable_text(std::string(name.begin(), name.end())) << ": read as " << read_as
        << '\n';
  }
}

void report_encoding_failure(const CompileReport& failure, const AuthorTexts& texts, bool json,
                             const char* consequence, Console& console) {
  if (json) {
    CompileReport coded = failure;
    coded.status_code = kEncodingErrorCode;
    console.out << report_json(coded, texts);
    return;
  }
  print_encodings(texts, console.err);
  print_diagnostics(failure, texts, console.err);
  if (*consequence != '\0') console.err << "scengen: " << consequence << '\n';
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
