#include "run/binary_files.h"

#include "compiler/output_files.h"
#include "run/scenario_files.h"

namespace scengen {

std::vector<std::filesystem::path> write_binary_files(FileLayer& files,
                                                      const std::filesystem::path& folder,
                                                      const Compilation& c) {
  std::vector<std::filesystem::path> written;
  if (c.CompileFlag != 0) {
    // The plan of a long route is some 20 MB: it is encoded into its file piece by piece.
    const auto plan_path = scenario_file_path(folder, route_plan_file_name(c));
    files.write_replacing_placed(
        plan_path, route_plan_file_size(c.TrackPlan),
        [&](const PlacedSink& sink) { encode_route_plan(c.TrackPlan, sink); });
    written.push_back(plan_path);
  }
  const auto table_path = scenario_file_path(folder, scenario_table_file_name(c));
  const auto table = encode_scenario_table(c.ScenarioTable);
  if (!table) throw FileError(table_path, "a scenario table text is longer than 65535 bytes");
  files.write_replacing(table_path, *table);
  written.push_back(table_path);
  const auto track_path = scenario_file_path(folder, track_file_name(c));
  files.write_replacing(track_path, encode_track_cells(c.TrackCells));
  written.push_back(track_path);
  return written;
}

}  // namespace scengen
