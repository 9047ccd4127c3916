// Completion: the keywords of the section a line stands in and the section headers at a
// record's start; station names where a train text names its station.
#pragma once

#include "compiler/compilation.h"
#include "lsp/json_rpc.h"
#include "lsp/positions.h"
#include "scenario/scenario_model.h"

namespace scengen::lsp {

/// The completion items at `at` of a Windows-1252 text of kind `kind`, as a protocol list;
/// `model` is the compile's (nullptr when none) and gives the station names.
Json completion_items(const TextPositions& text, TextKind kind, const Position& at,
                      const ScenarioModel* model);

}  // namespace scengen::lsp
