#include "run/binary_files.h"

#include "compiler/output_files.h"
#include "run/scenario_files.h"

namespace scengen {

std::vector<std::filesystem::path> write_binary_files(FileLayer& files,
                                                      const std::filesystem::path& folder,
                                                      const Compilation& c) {
  std::vector<std::filesystem::path> written;
  write_binary_files(files, folder, c, written);
  return written;
}

void write_binary_files(FileLayer& files, const std::filesystem::path& folder, const Compilation& c,
                        std::vector<std::filesystem::path>& written) {
  // Everything that can fail before writing is checked first: nothing is written then.
  const auto table_path = scenario_file_path(folder, scenario_table_file_name(c));
  const auto table = encode_scenario_table(c.ScenarioTable);
  if (!table) throw FileError(table_path, "a scenario table text is longer than 65535 bytes");
  const std::string track = encode_track_cells(c.TrackCells);

  std::vector<Replacement> set;
  if (c.CompileFlag != 0) {
    // The plan of a long route is some 20 MB: it is encoded into its file piece by piece.
    Replacement plan;
    plan.path = scenario_file_path(folder, route_plan_file_name(c));
    plan.size = route_plan_file_size(c.TrackPlan);
    plan.produce = [&c](const PlacedSink& sink) { encode_route_plan(c.TrackPlan, sink); };
    set.push_back(std::move(plan));
  }
  Replacement table_file;
  table_file.path = table_path;
  table_file.bytes = *table;
  set.push_back(std::move(table_file));
  Replacement track_file;
  track_file.path = scenario_file_path(folder, track_file_name(c));
  track_file.bytes = track;
  set.push_back(std::move(track_file));
  files.write_replacing_set(
      set, [&written](const std::filesystem::path& path) { written.push_back(path); });
}

}  // namespace scengen
