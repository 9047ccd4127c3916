// The features of the line description placed into the track model: the kilometric references,
// the route plan along the curves, tunnels and maximum-speed boards.
#pragma once

#include <cstdint>

#include "compiler/compilation.h"

namespace scengen {

/// The route plan may not grow past this point; a curve that pushes the walk past it is code 103.
constexpr int32_t kPlanLimit = 1000000;

/// Orders the kilometric references of slots 81 to 83 by position, largest first (by progressive
/// when the positions add up to 0), then adds 100 to the progressive of each whose flag is 1.
void progressive_ordina(Compilation& c);

/// The curvature per metre of curve class 1 to 6; 0 for any other class.
double curvature_of_class(int curve_class);

/// The plan walk: computes TrackPlan points from `cursor` while the cursor is not past `last`,
/// each turned by `k` (0: straight). With `test_limit`, returns false as soon as the cursor has
/// passed kPlanLimit (the point that took it there is kept).
bool walk_plan(Compilation& c, int32_t& cursor, int64_t last, double k, bool test_limit);

/// Enters a tunnel into the tunnel lists and writes its kind into its cells, with a marker in
/// every fourth empty cell when `tipo` is above 10. Changes `tipo` as the caller sees it.
void memo_montagna(Compilation& c, int32_t& inizio, int32_t& fine, int32_t& tipo);

/// Places a maximum-speed board into the cell after `posizione`, or records 21 when that cell is
/// not free.
void memo_indicatori_v_max(Compilation& c, int32_t posizione, int32_t& vas, int32_t& vbs,
                           int32_t& vcs, int16_t& strisces, int32_t& vad, int32_t& vbd,
                           int32_t& vcd, int16_t& strisced);

}  // namespace scengen
