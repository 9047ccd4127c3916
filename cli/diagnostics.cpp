#include "cli/diagnostics.h"

#include <algorithm>
#include <nlohmann/json.hpp>
#include <ostream>
#include <tuple>

#include "compiler/error_codes.h"
#include "compiler/source_text.h"

namespace scengen {
namespace {

// The text a code that names no place in the texts is about, when only one can be.
std::optional<TextKind> text_of_code(int32_t code) {
  switch (code) {
    case 1:
    case 2:
    case 3:
    case 4:
    case 5:
    case 6:
    case 21:
    case 101:
    case 102:
    case 103:
      return TextKind::Line;
    case 7:
    case 8:
    case 9:
    case 10:
    case 11:
    case 12:
    case 13:
    case 16:
    case 17:
    case 18:
    case 19:
    case 20:
    case 22:
    case 24:
      return TextKind::Train;
    default:
      return std::nullopt;
  }
}

std::string file_name(const std::filesystem::path& path) {
  const auto text = path.u8string();
  return std::string(text.begin(), text.end());
}

// One line to print: a warning or the error, with the place it points at.
struct Diagnostic {
  std::optional<TextKind> text;
  std::optional<SourceSpot> where;
  std::string headline;  // "error 15: ..." or "warning: ..."
};

// Text order: the line description before the train description, then by line and column;
// a diagnostic without a place after those with one in its text, one without a text last.
bool comes_before(const Diagnostic& a, const Diagnostic& b) {
  auto key = [](const Diagnostic& d) {
    const int text = d.text ? static_cast<int>(*d.text) : 2;
    const int line = d.where ? d.where->line : INT32_MAX;
    const int column = d.where ? d.where->column : INT32_MAX;
    return std::tuple(text, line, column);
  };
  return key(a) < key(b);
}

}  // namespace

CompileReport make_report(const Compilation& c, const CompileOutcome& outcome) {
  CompileReport report;
  report.status_code = outcome.end == CompileEnd::SealError ? outcome.seal_code : c.StatusCode;
  report.status_position = c.StatusPosition;
  report.stopped = outcome.end != CompileEnd::Sealed;
  if (report.status_code != 0) {
    const ErrorCodeInfo* info = find_error_code(report.status_code);
    report.message = info ? info->meaning : "unknown error";
    // 101 and 102 are about the whole line text, not the field where the reading stopped.
    const bool whole_text = report.status_code == 101 || report.status_code == 102;
    report.detail = c.StatusDetail;
    if (c.StatusSource && !whole_text) {
      report.where = c.StatusSource;
      report.text = c.StatusSource->text;
    } else {
      report.text = text_of_code(report.status_code);
    }
  } else if (outcome.end == CompileEnd::NoTrack) {
    report.message = "no track was compiled from the line description";
    report.text = TextKind::Line;
  }
  report.warnings = c.Warnings;
  return report;
}

std::string show_place(const LineIndex& lines, int line, int column) {
  if (line < 1 || column < 1) return {};
  const std::string_view bytes = lines.line(line);
  if (bytes.empty() && column > 1) return {};
  std::string caret;
  const size_t before = std::min(static_cast<size_t>(column - 1), bytes.size());
  // Every byte is one character of the code page; tabs stay tabs so the caret lines up.
  for (size_t i = 0; i < before; ++i) caret.push_back(bytes[i] == '\t' ? '\t' : ' ');
  return "  " + utf8_from_windows_1252(bytes) + "\n  " + caret + "^\n";
}

void print_diagnostics(const CompileReport& report, const AuthorTexts& texts, std::ostream& err) {
  std::vector<Diagnostic> diagnostics;
  for (const CompileWarning& w : report.warnings) {
    diagnostics.push_back({w.where.text, w.where, "warning: " + utf8_from_windows_1252(w.message)});
  }
  if (report.status_code != 0) {
    std::string headline = describe_error(report.status_code, report.status_position);
    if (!report.detail.empty()) headline += ": " + utf8_from_windows_1252(report.detail);
    diagnostics.push_back({report.text, report.where, std::move(headline)});
  } else if (!report.message.empty()) {
    diagnostics.push_back({report.text, std::nullopt, "error: " + report.message});
  }
  std::stable_sort(diagnostics.begin(), diagnostics.end(), comes_before);
  // Each text is indexed once, when a diagnostic first shows one of its lines.
  std::optional<LineIndex> indexes[2];
  auto lines_of = [&](TextKind text) -> const LineIndex& {
    std::optional<LineIndex>& index = indexes[text == TextKind::Line ? 0 : 1];
    if (!index) index.emplace(texts.bytes(text));
    return *index;
  };
  for (const Diagnostic& d : diagnostics) {
    if (!d.text) {
      err << "scengen: " << d.headline << '\n';
      continue;
    }
    err << file_name(texts.path(*d.text));
    if (d.where) err << ':' << d.where->line << ':' << d.where->column;
    err << ": " << d.headline << '\n';
    if (d.where) err << show_place(lines_of(*d.text), d.where->line, d.where->column);
  }
}

std::string report_json(const CompileReport& report, const AuthorTexts& texts) {
  using json = nlohmann::ordered_json;
  json out;
  out["status_code"] = report.status_code;
  out["status_position"] = report.status_position;
  out["message"] = report.message.empty() ? json(nullptr) : json(report.message);
  out["detail"] = report.detail.empty() ? json(nullptr) : json(utf8_from_windows_1252(report.detail));
  out["file"] = report.text ? json(file_name(texts.path(*report.text))) : json(nullptr);
  out["line"] = report.where ? json(report.where->line) : json(nullptr);
  out["column"] = report.where ? json(report.where->column) : json(nullptr);
  json warnings = json::array();
  for (const CompileWarning& w : report.warnings) {
    warnings.push_back({{"file", file_name(texts.path(w.where.text))},
                        {"line", w.where.line},
                        {"column", w.where.column},
                        {"message", utf8_from_windows_1252(w.message)}});
  }
  out["warnings"] = std::move(warnings);
  json files = json::array();
  for (const auto& path : report.files_written) files.push_back(file_name(path));
  out["files_written"] = std::move(files);
  return out.dump(2) + "\n";
}

}  // namespace scengen
