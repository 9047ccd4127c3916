#include "compiler/compile_warnings.h"

namespace scengen {
namespace {

std::string quoted(std::string_view text) {
  return "'" + std::string(text) + "'";
}

bool is_blank(char c) {
  return c == ' ' || c == '\t';
}

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && is_blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && is_blank(text.back())) text.remove_suffix(1);
  return text;
}

}  // namespace

void warn_unmatched_field(Compilation& c, const SourceSpot& where, std::string_view field) {
  if (!c.CollectWarnings) return;
  const std::string_view text = trimmed(field);
  if (text.empty()) return;
  if (text.front() == '[' && text.back() == ']') return;  // a section header
  record_warning(c, where, quoted(text) + " matches no record and is ignored");
}

void warn_rounded_position(Compilation& c, const SourceSpot& where, std::string_view record,
                           int32_t position) {
  if (!c.CollectWarnings || position < 0 || position % kCellLength == 0) return;
  record_warning(c, where,
                 quoted(record) + " at " + std::to_string(position) +
                     " m is not a multiple of 50: its cell is rounded");
}

void warn_beyond_route(Compilation& c, const SourceSpot& where, std::string_view record,
                       int32_t position) {
  if (!c.CollectWarnings) return;
  const int32_t route_length = c.ScenarioTable[kRouteLengthSlot].Num2;
  if (position <= route_length) return;
  record_warning(c, where,
                 quoted(record) + " at " + std::to_string(position) +
                     " m lies beyond the end of the route (" + std::to_string(route_length) +
                     " m)");
}

void SeriesOrder::check(Compilation& c, const SourceSpot& where, int32_t position) {
  if (!c.CollectWarnings) return;
  if (seen_ && position <= last_) {
    record_warning(c, where,
                   quoted(record_) + " at " + std::to_string(position) +
                       " m does not come after the previous one at " + std::to_string(last_) +
                       " m: the series must ascend");
  }
  seen_ = true;
  last_ = position;
}

std::optional<std::string> number_field_warning(std::string_view field) {
  if (field.empty()) return std::nullopt;
  size_t i = 0;
  if (field[0] == '-' || field[0] == '+') ++i;
  const size_t digits_begin = i;
  while (i < field.size() && field[i] >= '0' && field[i] <= '9') ++i;
  if (i == field.size() && i > digits_begin) return std::nullopt;
  if (i == digits_begin) return quoted(field) + " holds no number and reads as 0";
  return quoted(field) + " reads as " + std::string(field.substr(0, i)) +
         ": the characters after its digits are ignored";
}

}  // namespace scengen
