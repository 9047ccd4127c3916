#include "lsp/positions.h"

#include <algorithm>
#include <array>
#include <string>

namespace scengen::lsp {
namespace {

// How many UTF-8 bytes each Windows-1252 byte becomes.
const std::array<int, 256>& utf8_sizes() {
  static const std::array<int, 256> sizes = [] {
    std::array<int, 256> table{};
    for (int byte = 0; byte < 256; ++byte) {
      const char c = static_cast<char>(byte);
      table[static_cast<size_t>(byte)] =
          static_cast<int>(utf8_from_windows_1252(std::string_view(&c, 1)).size());
    }
    return table;
  }();
  return sizes;
}

}  // namespace

int units_of_windows_1252(std::string_view bytes, PositionEncoding encoding) {
  // Every character of the code page lies in the 16-bit plane: one UTF-16 unit each.
  if (encoding == PositionEncoding::Utf16) return static_cast<int>(bytes.size());
  int units = 0;
  for (const char c : bytes) units += utf8_sizes()[static_cast<unsigned char>(c)];
  return units;
}

int units_of_utf8(std::string_view bytes, PositionEncoding encoding) {
  if (encoding == PositionEncoding::Utf8) return static_cast<int>(bytes.size());
  int units = 0;
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte & 0xC0) == 0x80) continue;  // inside a character
    units += byte >= 0xF0 ? 2 : 1;
  }
  return units;
}

Position TextPositions::at(int line, int column) const {
  if (line < 1) return {0, 0};
  line = std::min(line, lines_.line_count());
  const std::string_view bytes = lines_.line(line);
  const size_t before = std::min(bytes.size(), static_cast<size_t>(std::max(column, 1) - 1));
  return {line - 1, units_of_windows_1252(bytes.substr(0, before), encoding_)};
}

size_t TextPositions::offset(const Position& position) const {
  if (position.line < 0) return 0;
  if (position.line >= lines_.line_count()) return text_.size();
  const std::string_view bytes = lines_.line(position.line + 1);
  const size_t start = static_cast<size_t>(bytes.data() - text_.data());
  int units = 0;
  size_t i = 0;
  for (; i < bytes.size(); ++i) {
    const int next = units_of_windows_1252(bytes.substr(i, 1), encoding_);
    // A position inside a character's units stands before it.
    if (units + next > position.character) break;
    units += next;
  }
  return start + i;
}

Position TextPositions::at_offset(size_t offset) const {
  const TextPlace place = lines_.line_of(offset);
  return at(place.line, place.column);
}

Position utf8_position(std::string_view text, size_t offset, PositionEncoding encoding) {
  offset = std::min(offset, text.size());
  int line = 0;
  size_t start = 0;
  for (size_t i = 0; i < offset; ++i) {
    if (text[i] == '\n' || (text[i] == '\r' && (i + 1 >= text.size() || text[i + 1] != '\n'))) {
      ++line;
      start = i + 1;
    }
  }
  return {line, units_of_utf8(text.substr(start, offset - start), encoding)};
}

}  // namespace scengen::lsp
