#include "texts/line_list.h"

namespace scengen {

std::string emit_line_list(const LineList& lines) {
  std::string bytes;
  for (const std::string& line : lines) {
    if (line == kEndMarker) break;
    bytes += line;
    bytes += "\r\n";
  }
  return bytes;
}

void write_line_list(const OutputPlace& out, std::string_view file_name, const LineList& lines) {
  out.files.write_replacing(join_output_path(out.folder, file_name), emit_line_list(lines));
}

}  // namespace scengen
