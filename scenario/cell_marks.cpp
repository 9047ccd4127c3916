#include "scenario/cell_marks.h"

namespace scengen {

MarkMeaning mark_meaning(const ScenarioModel& model, int32_t cell) {
  MarkMeaning m;
  const auto count = static_cast<int32_t>(model.cells.size());
  if (cell < 0 || cell >= count) return m;
  m.value = model.cells[static_cast<size_t>(cell)].mark;
  if (m.value == 0) return m;
  for (int k = 1; k <= kApproachMarks; ++k) {
    const int32_t at = cell + 2 * k;
    if (at >= count) break;
    const CellUse& use = model.cells[static_cast<size_t>(at)];
    if (use.kind != kSignal || use.feature < 0) continue;
    const Signal& signal = model.signals[static_cast<size_t>(use.feature)];
    if (signal_mark(0, signal.indication_sum, k) == m.value)
      return {MarkOwner::Signal, m.value, k, at, use.feature};
  }
  for (int k = 1; k <= kApproachMarks; ++k) {
    const int32_t at = cell + k;
    if (at >= count) break;
    const CellUse& use = model.cells[static_cast<size_t>(at)];
    if (use.kind == kStationMarker && use.feature >= 0 && station_mark(k) == m.value)
      return {MarkOwner::Station, m.value, k, at, use.feature};
  }
  m.owner = MarkOwner::Stray;
  return m;
}

}  // namespace scengen
