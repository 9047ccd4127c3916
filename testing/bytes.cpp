#include "testing/bytes.h"

namespace scengen::testing {

std::string bytes(std::initializer_list<int> values) {
  std::string out;
  for (const int v : values) out.push_back(static_cast<char>(v));
  return out;
}

std::string little_endian(int64_t value, int width) {
  const auto bits = static_cast<uint64_t>(value);
  std::string out;
  for (int i = 0; i < width; ++i) out.push_back(static_cast<char>(bits >> (8 * i)));
  return out;
}

uint64_t read_little_endian(std::string_view image, std::size_t at, int width) {
  uint64_t value = 0;
  for (int i = width - 1; i >= 0; --i) {
    value = value << 8 | static_cast<uint8_t>(image.at(at + static_cast<std::size_t>(i)));
  }
  return value;
}

}  // namespace scengen::testing
