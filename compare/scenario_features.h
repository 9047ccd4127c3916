// The things of a compiled scenario that an author edits, as the comparison pairs them: each
// feature at its place with its values in words, what the compiler derived from it folded in (a
// tunnel's markers, a slow order's approach boards) so that one edit reads as one change; and the
// profiles and the curvature of the plan as runs of one value.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "scenario/scenario_model.h"

namespace scengen {

/// A feature where it stands (a point, `end` equal to `at`, or a stretch from `at` to `end`
/// metres) and its values in words, which are what "the same feature" means.
struct Feature {
  int64_t at = 0;
  int64_t end = 0;
  std::string value;
};

/// The features of one scenario, each list in route order.
struct ScenarioFeatures {
  std::vector<Feature> tunnels;
  std::vector<Feature> speed_boards;
  std::vector<Feature> information_boards;
  std::vector<Feature> signals;
  std::vector<Feature> slow_orders;
  std::vector<Feature> code_points;
};

/// The features of a scenario, from its model.
ScenarioFeatures scenario_features(const ScenarioModel& model);

/// One value held from `first` to `end` (one past the last) of a unit: cells or plan points.
struct ValueRun {
  int64_t first = 0;
  int64_t end = 0;
  int64_t value = 0;
};

/// A profile's steps as runs over cells.
std::vector<ValueRun> step_runs(const std::vector<Step>& steps);

/// The plan's measured curvature, in kCurvatureUnit, as runs over plan points; between the runs
/// a point is straight (0).
std::vector<ValueRun> curvature_runs(const RoutePlan& plan);

}  // namespace scengen
