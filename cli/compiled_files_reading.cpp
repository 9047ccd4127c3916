#include "cli/compiled_files_reading.h"

#include <ostream>
#include <system_error>

#include "cli/command_files.h"
#include "compiler/source_text.h"
#include "compiler/track_layout.h"
#include "platform/input_limits.h"
#include "run/exit_status.h"
#include "run/printable_text.h"
#include "run/scenario_files.h"

namespace scengen {
namespace {

// Reads `path` and decodes it with `decode`; `what` names the kind in the refusal.
template <typename Model, typename Decode>
FileReading<Model> read_decoded(const std::filesystem::path& path, const char* what, Decode decode,
                                Console& console) {
  FileReading<Model> reading;
  auto bytes = read_input(system_files(), path, kMaxBinaryBytes, console);
  if (!bytes) {
    reading.status = kExitFileFailed;
    return reading;
  }
  auto decoded = decode(std::move(*bytes));
  if (decoded) {
    reading.value = std::move(*decoded.value);
    return reading;
  }
  console.err << "scengen: " << printable_path(path) << " is not " << what << ": " << decoded.error
              << '\n';
  reading.status = kExitCompileError;
  return reading;
}

// The file beside `track` named `name` (UTF-8).
std::filesystem::path beside(const std::filesystem::path& track, const std::string& name) {
  return track.parent_path() / utf8_path(name);
}

}  // namespace

std::filesystem::path table_beside(const std::filesystem::path& track) {
  const bool upper = track.extension() == ".DAT";
  return beside(track, track.stem().string() + (upper ? ".SIM" : ".sim"));
}

FileReading<std::vector<TrackCell>> read_track_file(const std::filesystem::path& path,
                                                    Console& console) {
  return read_decoded<std::vector<TrackCell>>(
      path, "a compiled track", [](const std::string& b) { return decode_track_cells(b); },
      console);
}

FileReading<ScenarioTable> read_table_file(const std::filesystem::path& path, Console& console) {
  return read_decoded<ScenarioTable>(
      path, "a scenario table", [](const std::string& b) { return decode_scenario_table(b); },
      console);
}

FileReading<CheckedPlan> read_plan_file(const std::filesystem::path& path, Console& console) {
  // Checked, then kept as bytes: a plan is walked in the memory of its file.
  return read_decoded<CheckedPlan>(
      path, "a route plan",
      [](std::string bytes) {
        Decoded<RoutePlanLayout> layout = check_route_plan(bytes);
        Decoded<CheckedPlan> checked{std::nullopt, std::move(layout.error)};
        if (layout) checked.value = CheckedPlan{std::move(bytes), *layout.value};
        return checked;
      },
      console);
}

CompiledFilesReading read_compiled_files(const CompiledFileNames& names, Console& console) {
  CompiledFilesReading r;
  r.track_path = argument_path(names.track);
  auto track = read_track_file(r.track_path, console);
  if (!track.value) {
    r.status = track.status;
    return r;
  }
  r.table_path = names.table ? argument_path(*names.table) : table_beside(r.track_path);
  auto table = read_table_file(r.table_path, console);
  if (!table.value) {
    r.status = table.status;
    return r;
  }
  CompiledFiles files{std::move(*track.value), std::move(*table.value), std::nullopt};
  if (!names.no_plan) {
    // The route plan is named by the route, which the table holds in Windows-1252.
    r.plan_path = names.plan ? argument_path(*names.plan)
                             : beside(r.track_path, utf8_from_windows_1252(
                                                        files.table[kRouteIdSlot].Text) +
                                                        "_linea.dat");
    std::error_code error;
    if (!names.plan && !std::filesystem::exists(r.plan_path, error)) {
      r.plan = PlanPresence::Absent;
    } else {
      auto plan = read_plan_file(r.plan_path, console);
      if (!plan.value) {
        r.plan = PlanPresence::Unreadable;
        r.status = plan.status;
        return r;
      }
      r.plan = PlanPresence::Present;
      files.plan = std::move(plan.value->bytes);
    }
  }
  r.files = std::move(files);
  return r;
}

}  // namespace scengen
