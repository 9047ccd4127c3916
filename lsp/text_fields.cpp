#include "lsp/text_fields.h"

namespace scengen::lsp {
namespace {

bool blank(char c) { return c == ' ' || c == '\t'; }

// The comma that ends the field starting at `begin`, or the line's end.
size_t field_stop(std::string_view line, size_t begin) {
  size_t at = begin;
  while (at < line.size() && blank(line[at])) ++at;
  if (at < line.size() && line[at] == '"') {
    const size_t close = line.find('"', at + 1);
    if (close == std::string_view::npos) return line.size();
    at = close;
  }
  const size_t comma = line.find(',', at);
  return comma == std::string_view::npos ? line.size() : comma;
}

}  // namespace

size_t field_end(std::string_view line, size_t begin) {
  size_t end = field_stop(line, begin);
  while (end > begin && blank(line[end - 1])) --end;
  return end;
}

std::vector<LineField> line_fields(std::string_view line) {
  std::vector<LineField> fields;
  size_t begin = 0;
  for (;;) {
    const size_t stop = field_stop(line, begin);
    size_t first = begin;
    while (first < stop && blank(line[first])) ++first;
    const size_t end = field_end(line, first);
    fields.push_back({begin, first, end, line.substr(first, end - first)});
    if (stop >= line.size()) return fields;
    begin = stop + 1;
  }
}

int field_at(const std::vector<LineField>& fields, size_t column) {
  int found = 0;
  for (size_t i = 0; i < fields.size() && fields[i].start <= column; ++i) {
    found = static_cast<int>(i);
  }
  return found;
}

bool is_header_line(std::string_view line) {
  const std::vector<LineField> fields = line_fields(line);
  const std::string_view first = fields.front().text;
  return first.size() >= 2 && first.front() == '[' && first.back() == ']';
}

}  // namespace scengen::lsp
