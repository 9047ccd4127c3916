// The three binary files read back into the model: the inverse of the file images. A byte string
// that is not such a file is refused with a reason, never read past its end.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "compiler/track_model.h"

namespace scengen {

/// The model part a file decodes to, or why the bytes are not such a file.
template <typename Model>
struct Decoded {
  std::optional<Model> value;
  std::string error;
  explicit operator bool() const { return value.has_value(); }
};

/// The compiled track file: 15 bytes per cell, at least two cells.
Decoded<std::vector<TrackCell>> decode_track_cells(std::string_view bytes);

/// The scenario table file: exactly 87 records, each 34 bytes plus its text.
Decoded<ScenarioTable> decode_scenario_table(std::string_view bytes);

/// The route plan file: the elements of coordinate 0, then as many of coordinate 1, each a type
/// tag (0, 2 or 5) and its value.
Decoded<TrackPlan> decode_route_plan(std::string_view bytes);

}  // namespace scengen
