// Two compiled scenarios compared as an author reads a route: not "cell 104 differs" but "the
// signal at 5200 m moved to 5250 m" or "speed limit from 12000 to 14000 m: 110 -> 120 km/h".
//
// The comparison works on the compiled model alone (cells, table, plan), so it serves the files
// on disk and texts compiled in memory alike. Features are rebuilt from the cells through the
// format module; what the compiler derives from them (approach marks, tunnel markers, the boards
// of a slow order) is folded into the feature that caused it, so one edit reads as one change.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "compiler/track_layout.h"
#include "compiler/track_model.h"

namespace scengen {

/// One compiled scenario as the comparison sees it. The plan is optional: without one on either
/// side the curves and the route plan are not compared.
struct ScenarioView {
  const std::vector<TrackCell>* cells = nullptr;
  const ScenarioTable* table = nullptr;
  const TrackPlan* plan = nullptr;  // null, or a plan that exists
};

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
/// Empty when the scenarios are the same in every compared value. Linear in the route's length,
/// but for the matching of moved features (n log n).
std::vector<ScenarioChange> diff_scenarios(const ScenarioView& old_view,
                                           const ScenarioView& new_view);

/// A time of day in seconds as h:mm, with :ss when the seconds are not 0 ("9:03", "8:20:30").
std::string clock_time(int64_t seconds);

}  // namespace scengen
