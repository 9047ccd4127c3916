#include "testing/text_lines.h"

namespace scengen::testing {

std::vector<std::string> split_crlf(std::string_view bytes) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < bytes.size()) {
    const std::size_t end = bytes.find("\r\n", start);
    if (end == std::string_view::npos) {
      lines.emplace_back(bytes.substr(start));
      break;
    }
    lines.emplace_back(bytes.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

std::vector<std::size_t> columns_of(std::string_view line, char c) {
  std::vector<std::size_t> columns;
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (line[i] == c) columns.push_back(i);
  }
  return columns;
}

std::string high_bytes(std::string_view bytes) {
  std::string found;
  for (const char b : bytes) {
    if (static_cast<unsigned char>(b) >= 0x80) found += b;
  }
  return found;
}

void WrittenText::write_with(void (*writer)(const OutputPlace&), std::string_view name) {
  writer(folder.place());
  bytes = folder.read(name);
  lines = split_crlf(bytes);
}

}  // namespace scengen::testing
