// Placement of line-side signals and slow orders into the track cells.
#pragma once

#include <cstdint>

#include "compiler/compilation.h"

namespace scengen {

/// Places one line-side signal into the cell after `position`, with its four approach marks;
/// records 16, writing nothing, when that cell is not free. Returns the signal time as it is
/// placed: one from 1 to 100 becomes 101 (the cell keeps it only when sx is 2).
int32_t place_signal(Compilation& c, int32_t position, const SignalCell& signal);

/// A slow order as its record gives it.
struct SlowOrderRecord {
  int32_t start = 0;            // x (m)
  int32_t speed = 0;            // v (km/h)
  int32_t length = 0;           // l (m)
  int32_t f_tt = 0;             // kept in the start and end cells
  int32_t approach_boards = 0;  // f_ta: non-zero places the four approach boards
  int32_t d_v = 0;              // kept with the order's cells when non-zero
};

/// Places one slow order; records 17, 18 or 19 (nothing written) or 20 (its warning, start and
/// end cells already written) when a cell it needs is not free.
void place_slow_order(Compilation& c, const SlowOrderRecord& order);

}  // namespace scengen
