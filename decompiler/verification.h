// Compiling recovered texts back and listing where they give other bytes than the files.
#pragma once

#include "decompiler/decompile.h"
#include "scenario/compiled_files.h"
#include "scenario/scenario_model.h"

namespace scengen {

/// The texts of `model` (read from `files`), compiled in memory under `identity` and compared
/// with `files`. A code point of 180 the compile does not make again is an author's: the texts
/// are written with it and compiled again, a few rounds at most.
Decompilation verified_texts(const CompiledFiles& files, const ScenarioModel& model,
                             const CompileIdentity& identity);

}  // namespace scengen
