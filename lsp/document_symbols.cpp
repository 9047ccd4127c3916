#include "lsp/document_symbols.h"

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "lsp/published_diagnostics.h"
#include "lsp/sections.h"
#include "lsp/text_fields.h"

namespace scengen::lsp {
namespace {

// The protocol's symbol kinds used here.
constexpr int kNamespaceSymbol = 3;
constexpr int kFieldSymbol = 8;
constexpr int kEventSymbol = 24;
constexpr int kStructSymbol = 23;

std::string value(const std::vector<LineField>& fields, size_t index) {
  return index < fields.size() ? utf8_from_windows_1252(fields[index].text) : std::string();
}

// The name and detail a record's line shows; nothing for a line that holds no record.
struct RecordName {
  std::string name;
  std::string detail;
  int kind = kFieldSymbol;
};

std::optional<RecordName> record_name(std::string_view line) {
  const std::vector<LineField> fields = line_fields(line);
  const ReferenceTopic* topic = field_topic(fields.front().text);
  if (topic == nullptr || topic_kind(*topic) != TopicKind::Keyword) return std::nullopt;
  const std::string& t = topic->name;
  if (t == "stazione") {
    const std::string name = value(fields, 17);  // a comma cuts the name
    return RecordName{name.empty() ? "(unnamed station)" : name,
                      "stazione at " + value(fields, 1) + " m", kStructSymbol};
  }
  if (t == "segnale") return RecordName{"segnale " + value(fields, 1) + " m", "signal", kEventSymbol};
  if (t == "montagna") {
    return RecordName{"montagna " + value(fields, 1) + " to " + value(fields, 2) + " m", "tunnel",
                      kStructSymbol};
  }
  if (t == "rallentamento") {
    std::string end;
    if (auto start = std::atoll(value(fields, 1).c_str()); !value(fields, 3).empty()) {
      end = " to " + std::to_string(start + std::atoll(value(fields, 3).c_str()));
    }
    return RecordName{"rallentamento " + value(fields, 1) + end + " m", value(fields, 2) + " km/h",
                      kEventSymbol};
  }
  std::string name = utf8_from_windows_1252(fields.front().text);
  if (fields.size() > 1) name += " " + value(fields, 1);
  return RecordName{name, t, kFieldSymbol};
}

Json symbol(const std::string& name, const std::string& detail, int kind, const Range& range,
            const Range& selection) {
  return {{"name", name.empty() ? std::string("?") : name},
          {"detail", detail},
          {"kind", kind},
          {"range", range_json(range)},
          {"selectionRange", range_json(selection)},
          {"children", Json::array()}};
}

}  // namespace

Json document_symbols(const TextPositions& text) {
  Json sections = Json::array();
  Json* section = nullptr;
  for (int line = 0; line < text.line_count(); ++line) {
    const std::string_view bytes = text.line(line);
    const Range whole{text.at(line + 1, 1), text.at(line + 1, INT32_MAX)};
    if (is_header_line(bytes)) {
      const std::vector<LineField> fields = line_fields(bytes);
      sections.push_back(symbol(utf8_from_windows_1252(fields.front().text), "section",
                                kNamespaceSymbol, whole, whole));
      section = &sections.back();
      continue;
    }
    if (section == nullptr) continue;
    // The section reaches down to its last line.
    (*section)["range"]["end"] = range_json(whole)["end"];
    if (auto record = record_name(bytes)) {
      (*section)["children"].push_back(symbol(record->name, record->detail, record->kind, whole, whole));
    }
  }
  return sections;
}

}  // namespace scengen::lsp
