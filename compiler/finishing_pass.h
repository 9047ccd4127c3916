// The signal-code finishing pass and the seal of the compiled track.
#pragma once

#include <cstdint>

#include "compiler/compilation.h"

namespace scengen {

/// Adds the derived cab-signal code points around slow orders; records 11, 12, 13 and goes on.
/// Needs a track of at least two cells.
void finishing_pass(Compilation& c);

/// Checks the reserved fields and writes the seal values and the scenario codes. Returns 0, or
/// 1250 or 1251 when a reserved field is already set (the caller shows it and stops the run).
int32_t seal(Compilation& c);

}  // namespace scengen
