#include "decompiler/text_parts.h"

namespace scengen {

std::string where(int64_t cell) {
  return "cell " + std::to_string(cell) + " (" + std::to_string(cell * kCellLength) + " m)";
}

std::optional<std::string> text_field(const std::string& text) {
  const bool separators = text.find_first_of(",\r\n") != std::string::npos;
  const bool edge_blanks = !text.empty() && (text.front() == ' ' || text.front() == '\t' ||
                                             text.back() == ' ' || text.back() == '\t');
  if (!separators && !edge_blanks && (text.empty() || text.front() != '"')) return text;
  if (text.find('"') != std::string::npos) return std::nullopt;
  return "\"" + text + "\"";
}

void write_profile(Text& text, const char* pattern, const std::vector<Step>& steps,
                   int32_t cell_count, int empty_value) {
  // One record at 0 and one at each change: the readers write cells up to three before the last.
  const int32_t last = cell_count - 1;
  for (const Step& step : steps) {
    if (step.first_cell > last - 3) break;
    text.format(pattern, step.start, step.value);
    text.end_line();
  }
  // A value in the third-last cell takes a record there.
  if (last < 2) return;
  const Step* third_last = step_at(steps, last - 2);
  if (third_last == nullptr || third_last->value == empty_value) return;
  text.format(pattern, cell_start(last - 2), third_last->value);
  text.end_line();
}

}  // namespace scengen
