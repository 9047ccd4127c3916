#include "lsp/published_diagnostics.h"

#include <optional>
#include <string_view>

#include "cli/report_options.h"
#include "cli/warning_summary.h"
#include "compiler/error_codes.h"
#include "lsp/text_fields.h"

namespace scengen::lsp {
namespace {

size_t index_of(TextKind kind) { return kind == TextKind::Line ? 0 : 1; }

// The range of the field that starts at a compiler's spot, so that the editor underlines the
// value the diagnostic is about; the first line for a diagnostic without a place.
Range field_range(const TextPositions& positions, const std::optional<SourceSpot>& where) {
  if (!where) return {{0, 0}, positions.at(1, INT32_MAX)};
  const std::string_view line = positions.line(where->line - 1);
  const size_t begin = std::min(line.size(), static_cast<size_t>(std::max(where->column, 1) - 1));
  const size_t end = std::max(begin + (begin < line.size() ? 1 : 0), field_end(line, begin));
  return {positions.at(where->line, static_cast<int>(begin) + 1),
          positions.at(where->line, static_cast<int>(end) + 1)};
}

// The text between `before` and the next `after` in `message`; nothing when either is missing.
std::optional<std::string> between(std::string_view message, std::string_view before,
                                   std::string_view after) {
  const size_t start = message.find(before);
  if (start == std::string_view::npos) return std::nullopt;
  const size_t from = start + before.size();
  const size_t end = message.find(after, from);
  if (end == std::string_view::npos) return std::nullopt;
  return std::string(message.substr(from, end - from));
}

std::string lower_ascii(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

// The edit a warning's words propose for the field it points at: the keyword it means, the
// keyword in lower case, the position the cells round to, the number the field is read as.
std::optional<std::pair<std::string, std::string>> proposed_edit(std::string_view message,
                                                                 std::string_view field) {
  if (auto keyword = between(message, "matches no record; did you mean '", "'?")) {
    return std::pair("Replace with '" + *keyword + "'", *keyword);
  }
  if (message.find("are compared exactly, in lower case") != std::string_view::npos) {
    const std::string lower = lower_ascii(std::string(field));
    return std::pair("Write '" + lower + "' in lower case", lower);
  }
  if (auto metres = between(message, " is not a multiple of 50: it is compiled at ", " m")) {
    return std::pair("Write " + *metres + " m, where it is compiled", *metres);
  }
  if (auto number = between(message, "' is compiled as ", ": the characters after its digits")) {
    return std::pair("Write " + *number + ", as it is compiled", *number);
  }
  return std::nullopt;
}

// The record a taken cell's words name ("placed by 'segnale' at line 5 of the train
// description"), as related information in its text.
Json holder_information(const PairAnalysis& analysis, const std::string& detail,
                        const TextPositions* positions[2]) {
  Json related = Json::array();
  const size_t placed = detail.find(", placed by '");
  if (placed == std::string::npos) return related;
  for (const TextKind kind : {TextKind::Line, TextKind::Train}) {
    const std::string of = kind == TextKind::Line ? " of the line description" : " of the train description";
    const auto line = between(std::string_view(detail).substr(placed), "' at line ", of);
    if (!line || line->empty() || line->size() > 9 ||
        line->find_first_not_of("0123456789") != std::string::npos) {
      continue;
    }
    const std::string& uri = analysis.uri(kind);
    if (uri.empty()) continue;
    const int number = std::stoi(*line);
    const TextPositions& text = *positions[index_of(kind)];
    related.push_back({{"location",
                        {{"uri", uri},
                         {"range", range_json({text.at(number, 1), text.at(number, INT32_MAX)})}}},
                       {"message", utf8_from_windows_1252(detail.substr(0, placed))}});
  }
  return related;
}

Json diagnostic(const Range& range, int severity, const Json& code, const std::string& message) {
  Json d = {{"range", range_json(range)}, {"severity", severity}, {"source", "scengen"},
            {"message", message}};
  if (!code.is_null()) d["code"] = code;
  return d;
}

// The words of an error as check prints them, without the "error N: " its code field says.
std::string error_words(const ReportedError& e) {
  std::string words = e.code == 0 ? e.message : describe_error(e.code, e.position);
  const std::string prefix = "error " + std::to_string(e.code) + ": ";
  if (e.code != 0 && words.starts_with(prefix)) words.erase(0, prefix.size());
  if (!e.detail.empty()) words += ": " + utf8_from_windows_1252(e.detail);
  return words;
}

void add_errors(const PairAnalysis& analysis, const TextPositions* positions[2],
                std::vector<DocumentDiagnostics>& out) {
  for (const ReportedError& e : analysis.report.errors) {
    const TextKind kind = e.text.value_or(TextKind::Line);
    DocumentDiagnostics& target = out[index_of(kind)];
    if (target.uri.empty()) continue;
    Json d = diagnostic(field_range(*positions[index_of(kind)], e.where), 1,
                        e.code == 0 ? Json() : Json(e.code), error_words(e));
    const Json related = holder_information(analysis, e.detail, positions);
    if (!related.empty()) d["relatedInformation"] = related;
    target.diagnostics.push_back(std::move(d));
  }
}

void add_warnings(const PairAnalysis& analysis, const TextPositions* positions[2],
                  std::vector<DocumentDiagnostics>& out) {
  for (const CompileWarning& w : analysis.report.warnings) {
    DocumentDiagnostics& target = out[index_of(w.where.text)];
    if (target.uri.empty()) continue;
    const TextPositions& text = *positions[index_of(w.where.text)];
    const Range range = field_range(text, w.where);
    const std::string message = utf8_from_windows_1252(w.message);
    Json d = diagnostic(range, 2, effect_name(w.effect), message);
    const std::string_view line = text.line(w.where.line - 1);
    const size_t begin = std::min(line.size(), static_cast<size_t>(std::max(w.where.column, 1) - 1));
    const std::string_view field = line.substr(begin, field_end(line, begin) - begin);
    if (auto edit = proposed_edit(w.message, field)) {
      target.fixes.push_back({edit->first, range, utf8_from_windows_1252(edit->second), d});
    }
    target.diagnostics.push_back(std::move(d));
  }
  if (analysis.report.warnings_left_out > 0 && !out[0].uri.empty()) {
    out[0].diagnostics.push_back(diagnostic(
        {{0, 0}, positions[0]->at(1, INT32_MAX)}, 3, Json(),
        std::to_string(analysis.report.warnings_left_out) + " more warnings not shown"));
  }
}

}  // namespace

Json range_json(const Range& range) {
  return {{"start", {{"line", range.start.line}, {"character", range.start.character}}},
          {"end", {{"line", range.end.line}, {"character", range.end.character}}}};
}

Range range_from_json(const Json& range) {
  const Json& start = range.at("start");
  const Json& end = range.at("end");
  return {{start.at("line").get<int>(), start.at("character").get<int>()},
          {end.at("line").get<int>(), end.at("character").get<int>()}};
}

std::vector<DocumentDiagnostics> pair_diagnostics(const PairAnalysis& analysis,
                                                  PositionEncoding encoding) {
  std::vector<DocumentDiagnostics> out(2);
  out[0].uri = analysis.uris[0];
  out[1].uri = analysis.uris[1];
  if (analysis.unconverted) {
    const CompileReport& failure = analysis.unconverted->report;
    const std::string& text = analysis.unconverted->utf8;
    const TextKind kind = failure.text.value_or(TextKind::Line);
    // The report's column counts characters of the UTF-8 text.
    const LineIndex lines(text);
    const std::string_view line = lines.line(failure.where ? failure.where->line : 1);
    size_t at = 0;
    for (int c = 1; failure.where && c < failure.where->column && at < line.size(); ++c) {
      ++at;
      while (at < line.size() && (static_cast<unsigned char>(line[at]) & 0xC0) == 0x80) ++at;
    }
    const size_t offset = static_cast<size_t>(line.data() - text.data()) + at;
    size_t end = std::min(offset + 1, text.size());
    while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) ++end;
    out[index_of(kind)].diagnostics.push_back(
        diagnostic({utf8_position(text, offset, encoding), utf8_position(text, end, encoding)}, 1,
                   kEncodingErrorCode, failure.message));
    return out;
  }
  if (!analysis.compiled) {
    if (!out[1].uri.empty()) {
      out[1].diagnostics.push_back(diagnostic(
          {{0, 0}, {0, 0}}, 3, Json(),
          "no line text of this route beside it (ROUTE_linea.txt): the train text is checked "
          "with its route's line text"));
    }
    return out;
  }
  const TextPositions line_positions(analysis.texts.line, encoding);
  const TextPositions train_positions(analysis.texts.train, encoding);
  const TextPositions* positions[2] = {&line_positions, &train_positions};
  add_errors(analysis, positions, out);
  add_warnings(analysis, positions, out);
  return out;
}

}  // namespace scengen::lsp
