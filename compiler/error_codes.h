// The catalogue of compile error codes and their meaning in words.
#pragma once

#include <cstdint>
#include <string>

namespace scengen {

struct ErrorCodeInfo {
  int32_t code;
  const char* meaning;
  bool has_position;  // whether the code records a route position
};

/// The entry of a code, or nullptr for a code that does not exist.
const ErrorCodeInfo* find_error_code(int32_t code);

/// "error 15: a position lies beyond the track (at 78950 m)"; the position only where the code
/// records one.
std::string describe_error(int32_t code, int32_t position);

}  // namespace scengen
