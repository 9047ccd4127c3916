// The keywords of the two description texts. Each reader keeps one table per section (a row: the
// keyword, its reader, its name, its number of values), from which its dispatch, its warnings and
// the lists below come; the authors' reference documents each keyword under its topic.
#pragma once

#include <array>
#include <cstddef>
#include <span>
#include <string_view>
#include <vector>

#include "compiler/field_reader.h"

namespace scengen {

/// One keyword test: a field matches when it contains `word` and, if set, `also` as well.
struct Keyword {
  std::string_view topic;  // the heading under which the reference explains the record, and the
                           // record's name in the warnings about it
  std::string_view word;
  std::string_view also;  // empty when one word is enough
  bool ignore_case;       // false: compared exactly, in lower case
};

/// Whether a keyword field holds this keyword (by containment, as the readers match).
inline bool matches(const Keyword& keyword, std::string_view field) {
  const auto has = [&](std::string_view word) {
    if (word.empty()) return true;
    return keyword.ignore_case ? contains_ignoring_case(field, word)
                               : field.find(word) != std::string_view::npos;
  };
  return has(keyword.word) && has(keyword.also);
}

/// A record as a reader's table gives it, without its reader.
struct RecordSyntax {
  Keyword keyword;
  std::string_view name;  // the keyword field as authors write it, offered after a misspelling
  int values;             // the fields that follow the keyword
};

/// The RecordSyntax of each row of a reader's table (whose rows hold one as `record`).
template <typename Row, size_t N>
constexpr std::array<RecordSyntax, N> record_specs(const Row (&rows)[N]) {
  std::array<RecordSyntax, N> specs{};
  for (size_t i = 0; i < N; ++i) specs[i] = rows[i].record;
  return specs;
}

/// The `name` of each row of a reader's table, in the table's order.
template <typename Row, size_t N>
constexpr std::array<std::string_view, N> record_names(const Row (&rows)[N]) {
  std::array<std::string_view, N> names{};
  for (size_t i = 0; i < N; ++i) names[i] = rows[i].record.name;
  return names;
}

namespace keywords {

// The header that opens the records of both texts.
inline constexpr Keyword kGeneralHeader{"[generale]", "[generale]", "", true};

/// The line description's general section, in the order its reader tests them.
std::span<const RecordSyntax> general_records();
/// The line description's feature section, in the order its reader tests them.
std::span<const RecordSyntax> feature_records();
/// The train description's records, in the order its reader tests them.
std::span<const RecordSyntax> train_records();

/// Every keyword either reader knows, the general header first, then each section's in order.
extern const std::vector<const Keyword*> kAll;

/// Whether `topic` is the topic of a record's keyword (not a header's).
bool is_record_topic(std::string_view topic);

/// The section headers the texts use by convention; the readers pass them over, but authors meet
/// them in every text.
inline constexpr std::string_view kSectionHeaders[] = {
    "[generale]",    "[curve]",    "[pendenze]",   "[montagne]", "[cartelli]",
    "[indicazioni]", "[aderenze]", "[vel_limite]", "[stazioni]", "[rallentamenti]",
    "[segnali]",     "[codici]",   "[fine]",
};

}  // namespace keywords
}  // namespace scengen
