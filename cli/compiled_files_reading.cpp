#include "cli/compiled_files_reading.h"

#include <ostream>

#include "cli/command_files.h"
#include "compiler/source_text.h"
#include "compiler/track_layout.h"
#include "platform/input_limits.h"
#include "run/exit_status.h"
#include "run/file_failure.h"
#include "run/printable_text.h"
#include "run/scenario_files.h"

namespace scengen {
namespace {

// Decodes `file`, read from `path`, with `decode`; `what` names the kind in the refusal.
template <typename Model, typename Decode>
FileReading<Model> decode_file(const std::filesystem::path& path, FileRead file, const char* what,
                               Decode decode, Console& console) {
  FileReading<Model> reading;
  if (file.status != ReadStatus::Ok) {
    console.err << "scengen: " << cannot_access(FileAccess::Read, path, file.reason) << '\n';
    reading.status = kExitFileFailed;
    return reading;
  }
  auto decoded = decode(std::move(file.bytes));
  if (decoded) {
    reading.value = std::move(*decoded.value);
    return reading;
  }
  console.err << "scengen: " << printable_path(path) << " is not " << what << ": " << decoded.error
              << '\n';
  reading.status = kExitCompileError;
  return reading;
}

// A compiled file, refused unread when it is not a regular file or too large.
FileRead read_binary(FileLayer& files, const std::filesystem::path& path) {
  return files.read_whole_capped(path, kMaxBinaryBytes);
}

FileReading<std::vector<TrackCell>> decode_track(const std::filesystem::path& path, FileRead file,
                                                 Console& console) {
  return decode_file<std::vector<TrackCell>>(
      path, std::move(file), "a compiled track",
      [](const std::string& b) { return decode_track_cells(b); }, console);
}

FileReading<ScenarioTable> decode_table(const std::filesystem::path& path, FileRead file,
                                        Console& console) {
  return decode_file<ScenarioTable>(
      path, std::move(file), "a scenario table",
      [](const std::string& b) { return decode_scenario_table(b); }, console);
}

FileReading<CheckedPlan> decode_plan(const std::filesystem::path& path, FileRead file,
                                     Console& console) {
  // Checked, then kept as bytes: a plan is walked in the memory of its file.
  return decode_file<CheckedPlan>(
      path, std::move(file), "a route plan",
      [](std::string bytes) {
        Decoded<RoutePlanLayout> layout = check_route_plan(bytes);
        Decoded<CheckedPlan> checked{std::nullopt, std::move(layout.error)};
        if (layout) checked.value = CheckedPlan{std::move(bytes), *layout.value};
        return checked;
      },
      console);
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
  return decode_track(path, read_binary(system_files(), path), console);
}

FileReading<ScenarioTable> read_table_file(const std::filesystem::path& path, Console& console) {
  return decode_table(path, read_binary(system_files(), path), console);
}

FileReading<CheckedPlan> read_plan_file(const std::filesystem::path& path, Console& console) {
  return decode_plan(path, read_binary(system_files(), path), console);
}

CompiledFilesReading read_compiled_files(const CompiledFileNames& names, Console& console,
                                         FileLayer& file_layer) {
  CompiledFilesReading r;
  r.track_path = argument_path(names.track);
  auto track = decode_track(r.track_path, read_binary(file_layer, r.track_path), console);
  if (!track.value) {
    r.status = track.status;
    return r;
  }
  r.table_path = names.table ? argument_path(*names.table) : table_beside(r.track_path);
  auto table = decode_table(r.table_path, read_binary(file_layer, r.table_path), console);
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
    // Absent only on the read's own "no such file": a plan that is there but cannot be read
    // (a loop of links, no permission, a device error) would otherwise pass for none.
    FileRead read = read_binary(file_layer, r.plan_path);
    if (!names.plan && read.status == ReadStatus::Missing) {
      r.plan = PlanPresence::Absent;
    } else {
      auto plan = decode_plan(r.plan_path, std::move(read), console);
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
