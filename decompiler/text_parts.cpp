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
                   int32_t cell_count, int empty_value, bool with_tail) {
  // One record at 0 and one at each change: the readers write cells up to three before the last.
  const int32_t last = cell_count - 1;
  auto record = [&](int32_t position, int value) {
    text.format(pattern, position, value);
    text.end_line();
  };
  for (const Step& step : steps) {
    if (step.first_cell > last - 3) break;
    record(step.start, step.value);
  }
  if (last < 2) return;
  // The last three cells: a record in the third-last cell, then records behind the cursor,
  // each of which writes the cell under it; the tail writes the cell it stops in.
  int tail[3];
  for (int k = 0; k < 3; ++k) {
    const Step* step = step_at(steps, last - 2 + k);
    tail[k] = step != nullptr ? step->value : empty_value;
  }
  int needed = 0;  // how many of the last three cells the records must reach
  for (int k = 0; k < 3; ++k)
    if (tail[k] != empty_value) needed = k + 1;
  if (needed == 0 && with_tail) return;
  record(cell_start(last - 2), tail[0]);
  const int behind = kCellLength;  // the cell of 50 m: behind the cursor, and past cell 0
  for (int k = 1; k < needed; ++k) record(behind, tail[k]);
  if (!with_tail && needed > 0) record(behind, empty_value);
}

}  // namespace scengen
