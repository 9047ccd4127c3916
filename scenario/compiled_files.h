// The raw files of one compiled scenario, as a reader of the model takes them: the track and the
// table decoded, the route plan kept as its file's bytes.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "compiler/compilation.h"
#include "compiler/track_layout.h"

namespace scengen {

/// One compiled scenario's three files. A long route's plan is millions of values: it stays the
/// bytes of its file and is walked point by point (visit_route_plan), never held decoded. A file
/// a caller does not have stays empty: no cells, a cleared table, no plan.
struct CompiledFiles {
  std::vector<TrackCell> cells;
  ScenarioTable table;
  std::optional<std::string> plan;
};

/// The files a compile would write, without writing them: its cells and table, and the image of
/// its route plan when it has one.
CompiledFiles compiled_files(const Compilation& c);

}  // namespace scengen
