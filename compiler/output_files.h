// The three binary files of a compiled scenario: their names and their exact byte images.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "compiler/compilation.h"

namespace scengen {

/// RouteId + "_linea.dat".
std::string route_plan_file_name(const Compilation& c);
/// RouteId + "_" + TrainNumber + ".sim".
std::string scenario_table_file_name(const Compilation& c);
/// RouteId + "_" + TrainNumber + ".dat".
std::string track_file_name(const Compilation& c);

/// Receives a piece of a file image and its offset from the start of the file.
using PlacedSink = std::function<void(uint64_t offset, std::string_view bytes)>;

/// The size of the route plan file.
uint64_t route_plan_file_size(const TrackPlan& plan);

/// The route plan file: every element of coordinate 0, then of coordinate 1, each as a type tag
/// (0 empty, 2 integer, 5 double) and its value, little-endian.
std::string encode_route_plan(const TrackPlan& plan);

/// The same bytes, handed to `sink` piece after piece, each at its place: both coordinates are
/// encoded as the plan is scanned, so that the image of a long route (about 20 MB) is never held
/// whole. Together the pieces cover the route_plan_file_size bytes once.
void encode_route_plan(const TrackPlan& plan, const PlacedSink& sink);

/// The scenario table file: slots 0 to 86, 34 bytes each plus their text. Nothing when a text is
/// longer than its 2-byte length can say.
std::optional<std::string> encode_scenario_table(const ScenarioTable& table);

/// The compiled track file: every cell, 15 bytes each.
std::string encode_track_cells(const std::vector<TrackCell>& cells);

}  // namespace scengen
