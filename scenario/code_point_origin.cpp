// Which code points of 180 the finishing pass made. The files keep no mark of it, so the pass
// runs again on the track without them: a point it makes again is its own, any other an
// author's. An author's point put back can change what the pass makes, so this repeats until
// no more points turn out to be an author's.
#include <vector>

#include "compiler/finishing_pass.h"
#include "scenario/model_parts.h"

namespace scengen {
namespace {

constexpr int16_t kDerivedCode = 180;

bool is_derived_code(const TrackCell& cell) {
  return cell.Kind == kCodePoint && cell.Param1 == kDerivedCode;
}

}  // namespace

void tell_derived_code_points(const std::vector<TrackCell>& cells, ScenarioModel& model) {
  std::vector<CodePoint*> candidates;
  for (CodePoint& point : model.code_points) {
    if (point.has_code && point.code == kDerivedCode) candidates.push_back(&point);
  }
  if (candidates.empty() || cells.size() < 2) return;
  for (CodePoint* point : candidates) point->derived = true;
  Compilation pass;
  for (bool changed = true; changed;) {
    pass.TrackCells = cells;
    for (const CodePoint* point : candidates) {
      // The pass reads and writes only Kind and Param1.
      if (!point->derived) continue;
      TrackCell& cell = pass.TrackCells[static_cast<size_t>(point->cell)];
      cell.Kind = kNothing;
      cell.Param1 = 0;
    }
    finishing_pass(pass);
    changed = false;
    for (CodePoint* point : candidates) {
      if (point->derived && !is_derived_code(pass.TrackCells[static_cast<size_t>(point->cell)])) {
        point->derived = false;
        changed = true;
      }
    }
  }
}

}  // namespace scengen
