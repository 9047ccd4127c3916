// The table of value ranges and the reference's tables of record values state the same ranges.
#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "cli/explain.h"
#include "compiler/keywords.h"
#include "compiler/value_ranges.h"

namespace scengen {
namespace {

// One row of a record's table in the reference: its "#" cell and the cells after the value's name.
struct DocRow {
  std::string record;
  std::string fields;
  std::vector<std::string> cells;
};

std::string trimmed(std::string text) {
  const size_t begin = text.find_first_not_of(' ');
  if (begin == std::string::npos) return {};
  return text.substr(begin, text.find_last_not_of(' ') - begin + 1);
}

std::vector<DocRow> record_rows(std::string_view reference) {
  std::vector<DocRow> rows;
  std::string heading;
  size_t from = 0;
  while (from < reference.size()) {
    size_t end = reference.find('\n', from);
    if (end == std::string_view::npos) end = reference.size();
    const std::string line(reference.substr(from, end - from));
    from = end + 1;
    if (line.starts_with("### ")) heading = line.substr(4);
    if (!line.starts_with("| ") || !keywords::is_record_topic(heading)) continue;
    std::vector<std::string> cells;
    for (size_t at = 1; at < line.size();) {
      const size_t bar = line.find('|', at);
      if (bar == std::string::npos) break;
      cells.push_back(trimmed(line.substr(at, bar - at)));
      at = bar + 1;
    }
    if (cells.size() < 3 || cells[0] == "#") continue;
    rows.push_back({heading, cells[0], {cells.begin() + 2, cells.end()}});
  }
  return rows;
}

TEST(ValueRanges, EveryRangeOfTheTableIsInTheReference) {
  const std::vector<DocRow> rows = record_rows(formats_reference());
  for (const ValueRange& range : value_ranges::all()) {
    SCOPED_TRACE(std::string(range.record) + " " + std::string(range.fields));
    bool found = false;
    for (const DocRow& row : rows) {
      if (row.record != range.record || row.fields != range.fields) continue;
      for (const std::string& cell : row.cells) found = found || cell == range.stated;
    }
    EXPECT_TRUE(found) << range.stated;
  }
}

TEST(ValueRanges, EveryRangeOfTheReferenceIsInTheTable) {
  // A cell that states a range of numbers, or the multiples of 5 a speed keeps; a range that an
  // error enforces is the error's.
  const std::regex states_range(R"(^(-?\d+ to -?\d+|\d+[ ,(]|multiples? of 5\b|a multiple of 5\b))");
  for (const DocRow& row : record_rows(formats_reference())) {
    for (const std::string& cell : row.cells) {
      if (!std::regex_search(cell, states_range) || cell.find("error") != std::string::npos)
        continue;
      bool found = false;
      for (const ValueRange& range : value_ranges::all()) {
        found = found || (range.record == row.record && range.fields == row.fields &&
                          range.stated == cell);
      }
      EXPECT_TRUE(found) << row.record << " " << row.fields << ": " << cell;
    }
  }
}

TEST(ValueRanges, ARangeHoldsItsEndsAndItsMultiplesOnly) {
  using namespace value_ranges;
  EXPECT_TRUE(kSpeedLimit.holds(0) && kSpeedLimit.holds(1275) && kSpeedLimit.holds(90));
  EXPECT_FALSE(kSpeedLimit.holds(92) || kSpeedLimit.holds(1280) || kSpeedLimit.holds(-5));
  EXPECT_EQ(out_of_range(kSpeedLimit, 92), "speed limit 92 is not a multiple of 5");
  EXPECT_EQ(out_of_range(kSignalLeftSet, -1), "sx -1 is outside its range (0 to 2)");
}

}  // namespace
}  // namespace scengen
