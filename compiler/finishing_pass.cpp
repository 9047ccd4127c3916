#include "compiler/finishing_pass.h"

namespace scengen {

void finishing_pass(Compilation& c) {
  // Not built yet.
  (void)c;
}

int32_t seal(Compilation& c) {
  // Only the reserved-field checks and fixed values so far; the scenario codes come later.
  if (c.ScenarioTable[85].Small1 != 0 || c.TrackCells[1].Param1 != 0) return 1250;
  c.ScenarioTable[85].Small1 = 610;
  c.TrackCells[1].Param1 = 5121;
  if (c.ScenarioTable[85].Num4 != 0 || c.TrackCells[1].Param2 != 0) return 1251;
  return 0;
}

}  // namespace scengen
