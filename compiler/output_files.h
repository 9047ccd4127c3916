// The three binary files of a compiled scenario: their names and their exact byte images.
#pragma once

#include <optional>
#include <string>

#include "compiler/compilation.h"

namespace scengen {

/// RouteId + "_linea.dat".
std::string route_plan_file_name(const Compilation& c);
/// RouteId + "_" + TrainNumber + ".sim".
std::string scenario_table_file_name(const Compilation& c);
/// RouteId + "_" + TrainNumber + ".dat".
std::string track_file_name(const Compilation& c);

/// The route plan file: every element of coordinate 0, then of coordinate 1, each as a type tag
/// (0 empty, 2 integer, 5 double) and its value, little-endian.
std::string encode_route_plan(const TrackPlan& plan);

/// The scenario table file: slots 0 to 86, 34 bytes each plus their text. Nothing when a text is
/// longer than its 2-byte length can say.
std::optional<std::string> encode_scenario_table(const ScenarioTable& table);

/// The compiled track file: every cell, 15 bytes each.
std::string encode_track_cells(const std::vector<TrackCell>& cells);

}  // namespace scengen
