// What a cell's Mark stands for: the approach marks a signal or a station marker leaves in the
// cells before it, found from the feature that wrote them.
#pragma once

#include <cstdint>

#include "scenario/scenario_model.h"

namespace scengen {

/// Whose approach a Mark announces.
enum class MarkOwner {
  None,     // Mark 0
  Signal,   // (sx * 3 + dx) * 10 + k, k cells 2k before the signal
  Station,  // 80 + k, k cells before the station marker
  Stray,    // a value that no signal or station marker after it accounts for
};

/// A cell's Mark and the feature it announces.
struct MarkMeaning {
  MarkOwner owner = MarkOwner::None;
  uint8_t value = 0;
  int order = 0;               // k, 1 to 4: 1 nearest the feature
  int32_t feature_cell = 0;    // the signal's or the station marker's cell
  int32_t feature_index = -1;  // into model.signals or model.station_markers
};

/// What the Mark of `cell` stands for. A value that both a signal and a station marker would
/// write (a sum of 8 and a marker k cells on) is told as the signal's.
MarkMeaning mark_meaning(const ScenarioModel& model, int32_t cell);

}  // namespace scengen
