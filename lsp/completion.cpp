#include "lsp/completion.h"

#include <set>
#include <string>
#include <vector>

#include "lsp/published_diagnostics.h"
#include "lsp/sections.h"
#include "lsp/text_fields.h"

namespace scengen::lsp {
namespace {

// The protocol's item kinds used here.
constexpr int kKeywordItem = 14;
constexpr int kModuleItem = 9;
constexpr int kValueItem = 12;

// The value of a station record that holds its name (from 1).
constexpr int kStationNameValue = 17;

Json item(std::string_view label, int kind, std::string_view detail, const Range& replaced) {
  const std::string text = utf8_from_windows_1252(label);
  return {{"label", text},
          {"kind", kind},
          {"detail", utf8_from_windows_1252(detail)},
          {"textEdit", {{"range", range_json(replaced)}, {"newText", text}}}};
}

Json record_items(const TextPositions& text, TextKind kind, int line, const Range& replaced) {
  Json items = Json::array();
  const std::string_view section = section_of_line(text, line);
  if (section.empty()) {
    // Before [generale] the reader passes everything over: only the header opens the records.
    items.push_back(item("[generale]", kModuleItem, "section header", replaced));
    return items;
  }
  for (const RecordSyntax& record : section_records(kind, section)) {
    items.push_back(item(record.name, kKeywordItem, record.keyword.topic, replaced));
  }
  for (const std::string_view header : section_headers(kind)) {
    items.push_back(item(header, kModuleItem, "section header", replaced));
  }
  return items;
}

}  // namespace

Json completion_items(const TextPositions& text, TextKind kind, const Position& at,
                      const ScenarioModel* model) {
  if (at.line < 0 || at.line >= text.line_count()) return Json::array();
  const std::string_view line = text.line(at.line);
  const size_t column = text.offset(at) - text.offset({at.line, 0});
  const std::vector<LineField> fields = line_fields(line);
  const int index = field_at(fields, column);
  const LineField& field = fields[static_cast<size_t>(index)];
  const Range replaced{text.at(at.line + 1, static_cast<int>(field.begin) + 1),
                       text.at(at.line + 1, static_cast<int>(std::max(field.end, column)) + 1)};
  if (index == 0) return record_items(text, kind, at.line, replaced);
  const ReferenceTopic* topic = field_topic(fields.front().text);
  Json items = Json::array();
  if (kind != TextKind::Train || model == nullptr || topic == nullptr || topic->name != "stazione" ||
      index < kStationNameValue) {
    return items;
  }
  std::set<std::string> names;
  for (const Station& station : model->stations) names.insert(station.values.name);
  for (const std::string& name : names) {
    if (!name.empty()) items.push_back(item(name, kValueItem, "station", replaced));
  }
  return items;
}

}  // namespace scengen::lsp
