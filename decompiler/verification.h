// Compiling recovered texts back and listing where they give other bytes than the files.
#pragma once

#include "decompiler/decompile.h"
#include "decompiler/recovered_records.h"
#include "scenario/compiled_files.h"
#include "scenario/scenario_model.h"

namespace scengen {

/// The texts of `model` and its `records`, with the `notes` their recovery made, and with the code
/// points of 180 in the cells of `explicit_180` (the finishing pass makes the others).
Decompilation texts_of(const ScenarioModel& model, const RecoveredRecords& records,
                       const std::vector<std::string>& notes,
                       const std::vector<int32_t>& explicit_180);

/// The texts of `model` (read from `files`), compiled in memory under `identity` and compared
/// with `files`. A code point of 180 the compile does not make again is an author's: the texts
/// are written with it and compiled again, a few rounds at most.
Decompilation verified_texts(const CompiledFiles& files, const ScenarioModel& model,
                             const CompileIdentity& identity);

}  // namespace scengen
