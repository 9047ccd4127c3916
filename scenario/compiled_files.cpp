#include "scenario/compiled_files.h"

#include "compiler/output_files.h"

namespace scengen {

CompiledFiles compiled_files(const Compilation& c) {
  CompiledFiles files{c.TrackCells, c.ScenarioTable, std::nullopt};
  if (c.TrackPlan.exists()) files.plan = encode_route_plan(c.TrackPlan);
  return files;
}

}  // namespace scengen
