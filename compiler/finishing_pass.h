// The signal-code finishing pass and the seal of the compiled track.
#pragma once

#include <cstdint>
#include <functional>

#include "compiler/compilation.h"

namespace scengen {

/// Asked before the pass makes a free cell a code point: false when an author's code point of the
/// derived code stood there, which the pass then finds in its place. For telling, from a finished
/// track, the pass's code points from an author's.
using CodePointQuestion = std::function<bool(int32_t cell)>;

/// Adds the derived cab-signal code points around slow orders; records 11, 12, 13 and goes on.
/// Never touches a cell outside TrackCells, whatever the cells hold.
void finishing_pass(Compilation& c, const CodePointQuestion& free_for_pass = {});

/// Checks the reserved fields and writes the seal values and the scenario codes. Returns 0, or
/// 1250 or 1251 when a reserved field is already set (the caller shows it and stops the run).
/// Needs a track of at least two cells.
int32_t seal(Compilation& c);

/// `y` when `x` is greater than `y`, otherwise `x` (a tie gives `x`).
int32_t minimum(int32_t x, int32_t y);

/// The plain scenario code: the sum of the first 25 bytes of the code text, which it rebuilds in
/// CurrentField.
int16_t plain_scenario_code(Compilation& c);

/// The weighted scenario code: the sum of each of the first 25 bytes of the code text times its
/// position (1 to 25); rebuilds the code text in CurrentField.
int32_t weighted_scenario_code(Compilation& c);

}  // namespace scengen
