// Building and reading the binary files' bytes by hand, to compare with what the writers make.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace scengen::testing {

/// The bytes with these values, each taken modulo 256.
std::string bytes(std::initializer_list<int> values);

/// `value` in `width` bytes, the lowest first (two's complement for a negative value).
std::string little_endian(int64_t value, int width);

/// The unsigned number held in `width` bytes at `at` of `image`, the lowest first.
uint64_t read_little_endian(std::string_view image, std::size_t at, int width);

}  // namespace scengen::testing
