// What a pair of description texts compiles to, for telling whether a new layout of a text
// changes any of it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "compiler/compile.h"

namespace scengen::format {

/// How a compile ended, its status and the bytes of the three binary files (empty without a
/// track; the table absent when a text is too long for it; the plan empty with compile flag 0).
struct CompiledImage {
  CompileEnd end = CompileEnd::Sealed;
  int32_t seal_code = 0;
  int32_t status_code = 0;
  int32_t status_position = 0;
  std::string track;
  std::optional<std::string> table;
  std::string plan;

  bool operator==(const CompiledImage&) const = default;
};

/// Compiles the two texts in memory (the built-in scenario's identity) and encodes the files.
CompiledImage compile_image(std::string_view line, std::string_view train, int32_t compile_flag);

}  // namespace scengen::format
