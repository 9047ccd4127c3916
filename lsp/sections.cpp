#include "lsp/sections.h"

#include <algorithm>
#include <cctype>

#include "lsp/text_fields.h"

namespace scengen::lsp {
namespace {

// The headers of each text by convention, and the record each one precedes; "" for a header
// that precedes a whole reader's section.
struct ConventionalHeader {
  TextKind text;
  std::string_view header;
  std::string_view topic;
};

constexpr ConventionalHeader kHeaders[] = {
    {TextKind::Line, "[generale]", ""},
    {TextKind::Line, "[curve]", "curva"},
    {TextKind::Line, "[pendenze]", "pendenza"},
    {TextKind::Line, "[montagne]", "montagna"},
    {TextKind::Line, "[cartelli]", "indicatori_v"},
    {TextKind::Line, "[indicazioni]", "cartello_indicatore"},
    {TextKind::Line, "[fine]", ""},
    {TextKind::Train, "[generale]", ""},
    {TextKind::Train, "[aderenze]", "aderenza"},
    {TextKind::Train, "[vel_limite]", "velocita"},
    {TextKind::Train, "[stazioni]", "stazione"},
    {TextKind::Train, "[rallentamenti]", "rallentamento"},
    {TextKind::Train, "[segnali]", "segnale"},
    {TextKind::Train, "[codici]", "abbattimento"},
    {TextKind::Train, "[fine]", ""},
};

bool same_ignoring_case(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

}  // namespace

const std::vector<ReferenceTopic>& reference_topics_once() {
  static const std::vector<ReferenceTopic> topics = reference_topics(formats_reference());
  return topics;
}

const ReferenceTopic* field_topic(std::string_view field) {
  if (field.empty() || field.find('-') != std::string_view::npos) return nullptr;
  if (!(std::isalpha(static_cast<unsigned char>(field[0])) || field[0] == '[')) return nullptr;
  const ReferenceTopic* topic = find_topic(reference_topics_once(), field);
  if (topic == nullptr) return nullptr;
  const TopicKind kind = topic_kind(*topic);
  return kind == TopicKind::Keyword || kind == TopicKind::SectionHeader ? topic : nullptr;
}

std::string_view section_of_line(const TextPositions& text, int line) {
  for (int above = std::min(line, text.line_count()) - 1; above >= 0; --above) {
    const std::string_view bytes = text.line(above);
    if (is_header_line(bytes)) return line_fields(bytes).front().text;
  }
  return {};
}

std::vector<std::string_view> section_headers(TextKind kind) {
  std::vector<std::string_view> headers;
  for (const ConventionalHeader& h : kHeaders) {
    if (h.text == kind) headers.push_back(h.header);
  }
  return headers;
}

std::vector<RecordSyntax> section_records(TextKind kind, std::string_view header) {
  const bool general = same_ignoring_case(header, "[generale]");
  std::span<const RecordSyntax> all = kind == TextKind::Train ? keywords::train_records()
                                    : general               ? keywords::general_records()
                                                            : keywords::feature_records();
  std::string_view topic;
  for (const ConventionalHeader& h : kHeaders) {
    if (h.text == kind && same_ignoring_case(h.header, header)) topic = h.topic;
  }
  std::vector<RecordSyntax> records;
  for (const RecordSyntax& record : all) {
    if (topic.empty() || record.keyword.topic == topic) records.push_back(record);
  }
  // The train text's general records by convention come before its first other header.
  if (kind == TextKind::Train && general) {
    std::erase_if(records, [](const RecordSyntax& r) {
      for (const ConventionalHeader& h : kHeaders) {
        if (h.text == TextKind::Train && h.topic == r.keyword.topic) return true;
      }
      return false;
    });
  }
  return records;
}

}  // namespace scengen::lsp
