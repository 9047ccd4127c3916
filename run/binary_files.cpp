#include "run/binary_files.h"

#include "compiler/output_files.h"

namespace scengen {

void write_binary_files(FileLayer& files, const std::filesystem::path& folder,
                        const Compilation& c) {
  if (c.CompileFlag != 0) {
    // The plan of a long route is some 20 MB: it is encoded into its file piece by piece.
    files.write_replacing_placed(
        join_output_path(folder, route_plan_file_name(c)), route_plan_file_size(c.TrackPlan),
        [&](const PlacedSink& sink) { encode_route_plan(c.TrackPlan, sink); });
  }
  const auto table_path = join_output_path(folder, scenario_table_file_name(c));
  const auto table = encode_scenario_table(c.ScenarioTable);
  if (!table) throw FileError(table_path, "a scenario table text is longer than 65535 bytes");
  files.write_replacing(table_path, *table);
  files.write_replacing(join_output_path(folder, track_file_name(c)),
                        encode_track_cells(c.TrackCells));
}

}  // namespace scengen
