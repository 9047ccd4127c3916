// Placement of line-side signals and slow orders into the track cells.
#pragma once

#include <cstdint>

#include "compiler/compilation.h"

namespace scengen {

/// Places one line-side signal; records 16, writing nothing, when its cell is not free. Raises a
/// `tempo` from 1 to 100 to 101 in place.
void memo_segnale(Compilation& c, int32_t posizione, const int32_t& sx, const int32_t& s1,
                  const int32_t& s2, const int32_t& s3, const int32_t& rapp, const int32_t& dx,
                  const int32_t& d1, const int32_t& d2, const int32_t& d3, int32_t& tempo);

/// Places one slow order starting at `x`; records 17, 18 or 19 (nothing written) or 20 (its
/// warning, start and end cells already written) when a cell it needs is not free.
void memo_rallentamento(Compilation& c, int32_t x, const int32_t& v, const int32_t& l,
                        const int32_t& f_tt, int32_t f_ta, const int32_t& d_v);

}  // namespace scengen
