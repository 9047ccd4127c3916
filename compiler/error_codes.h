// The catalogue of compile error codes and their meaning in words.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "compiler/compilation.h"

namespace scengen {

struct ErrorCodeInfo {
  int32_t code;
  const char* meaning;
  bool has_position;  // whether the code records a route position
  // The description text the code is about when it names no place in it; none when it may be
  // either text's, or neither.
  std::optional<TextKind> text;
  // About the whole text rather than the field where the reading stopped.
  bool whole_text = false;
};

/// The entry of a code, or nullptr for a code that does not exist.
const ErrorCodeInfo* find_error_code(int32_t code);

/// "error 15: a position lies beyond the track (at 78950 m)"; the position only where the code
/// records one.
std::string describe_error(int32_t code, int32_t position);

}  // namespace scengen
