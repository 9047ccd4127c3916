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
void order_references(Compilation& c);

/// The curvature per metre of curve class 1 to 6; 0 for any other class.
double curvature_of_class(int curve_class);

/// The plan walk: computes TrackPlan points from `cursor` while the cursor is not past `last`,
/// each turned by `k` (0: straight). With `test_limit`, returns false as soon as the cursor has
/// passed kPlanLimit (the point that took it there is kept).
bool walk_plan(Compilation& c, int32_t& cursor, int64_t last, double k, bool test_limit);

/// A tunnel as its record gives it.
struct TunnelRecord {
  int32_t start = 0;  // m
  int32_t end = 0;    // m
  int32_t kind = 0;   // above 10: the kind 10 less, with markers
};

/// Enters a tunnel into the tunnel lists and writes its kind into its cells, with a marker in
/// every fourth empty cell when its kind is above 10. Returns the kind its cells take: 10 less
/// for a marked tunnel, 3 for one that starts at most 150 m after the previous one ends.
int32_t place_tunnel(Compilation& c, const TunnelRecord& tunnel);

/// Places a maximum-speed board into the cell after `position`, or records 21 when that cell is
/// not free.
void place_speed_board(Compilation& c, int32_t position, const SpeedBoardCell& board);

}  // namespace scengen
