// The parts of reading a scenario model, one file each; read_scenario calls them in order.
#pragma once

#include <string_view>
#include <vector>

#include "scenario/scenario_model.h"

namespace scengen {

/// The route plan's curves from the plan file's bytes (absent: no plan).
RoutePlan read_route_plan(const std::optional<std::string>& bytes);
/// The same curves from a compile's plan, without its file image.
RoutePlan read_track_plan(const TrackPlan& plan);

/// The sum sx * 3 + dx of the signal in cell `i`: Param4's last digit when a mark shows it, else
/// the sum shown in most marks among those that leave Param4 a whole number of tens away.
int32_t indication_sum(const std::vector<TrackCell>& cells, int32_t i);

/// The rapp that, with the sum `sets`, packs into `param4`: rapp * 10 + sets in 16 bits.
int32_t rapp_with(int32_t param4, int32_t sets);

/// Fills each signal's indication sum and rapp from its Param4 and approach marks, and the order
/// that leaves the marks as the cells hold them.
void recover_signal_indications(const std::vector<TrackCell>& cells, ScenarioModel& model);

/// Marks the code points of 180 that the finishing pass makes again on the track without them.
void tell_derived_code_points(const std::vector<TrackCell>& cells, ScenarioModel& model);

}  // namespace scengen
