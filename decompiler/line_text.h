// The line description recovered from a compiled scenario's model.
#pragma once

#include <string>
#include <vector>

#include "decompiler/recovered_records.h"
#include "scenario/scenario_model.h"

namespace scengen {

/// The line text of `model` and its recovered `records` (Windows-1252, CR LF); what it cannot say
/// goes into `notes`.
std::string line_text(const ScenarioModel& model, const RecoveredRecords& records,
                      std::vector<std::string>& notes);

}  // namespace scengen
