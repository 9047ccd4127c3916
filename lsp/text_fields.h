// The fields of one line of a description text, as an editor's features need them: where each
// field of the line begins and ends, and the section a line stands in.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace scengen::lsp {

/// A field of a line: its bytes from `begin` to `end`, blanks around it left out.
struct LineField {
  size_t start = 0;  // just after the comma before it: the blanks before the field are its place
  size_t begin = 0;
  size_t end = 0;
  std::string_view text;
};

/// Where the field that starts at `begin` ends: at the next comma (a quoted field at its
/// closing quote's comma) or the line's end, blanks before it left out.
size_t field_end(std::string_view line, size_t begin);

/// The fields of a line, split at its commas; a line holds one record by convention.
std::vector<LineField> line_fields(std::string_view line);

/// The field whose place holds the byte `column` (from 0): from after the comma before it to the
/// comma after it.
int field_at(const std::vector<LineField>& fields, size_t column);

/// Whether the line is a section header: its first field in brackets.
bool is_header_line(std::string_view line);

}  // namespace scengen::lsp
