// The line description recovered from a compiled scenario's model.
#pragma once

#include <string>
#include <vector>

#include "scenario/scenario_model.h"

namespace scengen {

/// The line text of `model` (Windows-1252, CR LF); what it cannot say goes into `notes`.
std::string line_text(const ScenarioModel& model, std::vector<std::string>& notes);

}  // namespace scengen
