// Two compiled scenarios compared as an author reads a route: not "cell 104 differs" but "the
// signal at 5200 m moved to 5250 m" or "speed limit from 12000 to 14000 m: 110 -> 120 km/h".
//
// The comparison reads the two scenarios' models, so it serves the files on disk and texts
// compiled in memory alike. What the compiler derives from a feature (approach marks, tunnel
// markers, the boards of a slow order) is folded into the feature that caused it
// (compare/scenario_features.h), so one edit reads as one change.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "scenario/scenario_model.h"

namespace scengen {

/// The groups of changes, in the order they are reported.
enum class ChangeGroup {
  Route,
  General,
  Gradients,
  Curves,
  RoutePlan,
  Tunnels,
  SpeedBoards,
  InformationBoards,
  SpeedLimits,
  Adhesion,
  Stations,
  Signals,
  SlowOrders,
  CodePoints,
};

/// The group's name in reports ("speed limits", "route plan", ...).
const char* group_name(ChangeGroup group);
/// The group's key in JSON ("speed_limits", "route_plan", ...).
const char* group_key(ChangeGroup group);

/// What happened to the thing a change is about.
enum class ChangeKind { Added, Removed, Changed, Moved };

/// The word for a change kind in JSON ("added", "removed", "changed", "moved").
const char* change_kind_name(ChangeKind kind);

/// One change in author terms: the sentence, and its parts for tools.
struct ScenarioChange {
  ChangeGroup group = ChangeGroup::Route;
  ChangeKind kind = ChangeKind::Changed;
  int64_t from_m = 0;     // where it is (the old place of a moved thing), in metres
  int64_t to_m = 0;       // the end of a stretch, or the new place of a moved thing; else from_m
  std::string old_value;  // in words; empty for an added thing
  std::string new_value;  // in words; empty for a removed thing
  std::string text;       // the whole sentence, as printed
};

/// Every difference between two scenarios, grouped (ChangeGroup order), each group by position.
/// Empty when the scenarios are the same in every compared value. The curves are compared when
/// both models have a route plan; `plan_points`, where the two plans' points differ
/// (differing_plan_points of their files), is reported when no curve explains it. Linear in the
/// route's length, but for the matching of moved features (n log n).
std::vector<ScenarioChange> diff_scenarios(
    const ScenarioModel& old_model, const ScenarioModel& new_model,
    const std::optional<PlanStretch>& plan_points = std::nullopt);

}  // namespace scengen
