// One whole compile in memory: read the texts, finish, seal. Every front end drives this.
#pragma once

#include <cstdint>

#include "compiler/compilation.h"
#include "compiler/description_texts.h"

namespace scengen {

enum class CompileEnd {
  Sealed,     // the model is complete and may be written
  NoTrack,    // the readers stopped before the track was sized: nothing to write
  SealError,  // 1250 or 1251: the run stops before any binary file
};

struct CompileOutcome {
  CompileEnd end = CompileEnd::Sealed;
  int32_t seal_code = 0;  // 1250 or 1251 when end is SealError
};

/// Clears the scenario table, reads the texts, runs the finishing pass and the seal.
CompileOutcome compile_scenario(Compilation& c, DescriptionTexts& texts, int32_t compile_flag);

/// After a compile that recorded an error, reads both texts again for diagnostics only, on a
/// Compilation of its own, through the rest of the text that stopped and through the other one
/// (as long as a track exists). Adds to c.Errors the errors the compile did not meet, as
/// AfterStop, and makes c.Warnings those of the whole reading, the new ones marked after_stop.
/// `texts` is a fresh source of the same two texts. The track, the table and the status of `c`
/// stay as they are.
void read_on_after_error(Compilation& c, DescriptionTexts& texts);

}  // namespace scengen
