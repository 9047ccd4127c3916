// Hover: the reference section of a keyword or a header; for a position, its metres in km and
// what the compile put at that place.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "scenario/scenario_model.h"

namespace scengen::lsp {

/// What a hover shows (Markdown) over the bytes `begin` to `end` of its line.
struct HoverText {
  std::string markdown;
  size_t begin = 0;
  size_t end = 0;
};

/// The hover at byte `column` (from 0) of a Windows-1252 line; `model` is the compile's, nullptr
/// when none was compiled. Nothing over a field that is neither a keyword, a header nor a
/// position.
std::optional<HoverText> hover_at(std::string_view line, size_t column, const ScenarioModel* model);

/// "5.200 km (5200 m)".
std::string kilometres(int64_t metres);

}  // namespace scengen::lsp
