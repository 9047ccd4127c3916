// The train description recovered from a compiled scenario's model.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "decompiler/recovered_records.h"
#include "scenario/scenario_model.h"

namespace scengen {

/// The train text of `model` and its recovered `records` (Windows-1252, CR LF), with the code points of 180 in the cells of
/// `authored_180` (the finishing pass makes the others); what it cannot say goes into `notes`.
std::string train_text(const ScenarioModel& model, const RecoveredRecords& records,
                       const std::set<int32_t>& authored_180, std::vector<std::string>& notes);

}  // namespace scengen
