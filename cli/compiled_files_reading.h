// Reading a compiled scenario's files for the commands that look at one (dump, diff,
// decompile): each file read, decoded or refused in one line naming it, and the exit status
// that goes with the refusal.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "compiler/output_decoding.h"
#include "compiler/track_model.h"
#include "platform/file_layer.h"
#include "scenario/compiled_files.h"

namespace scengen {

/// One file read and decoded; without a value, its failure was said and `status` is the one to
/// end with: kExitFileFailed when it cannot be read, kExitCompileError when it is not a file of
/// its kind.
template <typename Model>
struct FileReading {
  std::optional<Model> value;
  int status = 0;
};

/// A route plan file's bytes and where its points lie in them.
struct CheckedPlan {
  std::string bytes;
  RoutePlanLayout layout;
};

/// ROUTE_TRAIN.sim beside ROUTE_TRAIN.dat, the table a track was compiled with; upper case beside
/// an upper-case name.
std::filesystem::path table_beside(const std::filesystem::path& track);

/// Reads and decodes a compiled track file.
FileReading<std::vector<TrackCell>> read_track_file(const std::filesystem::path& path,
                                                    Console& console);

/// Reads and decodes a scenario table file.
FileReading<ScenarioTable> read_table_file(const std::filesystem::path& path, Console& console);

/// Reads a route plan file and checks it element by element, keeping only its bytes.
FileReading<CheckedPlan> read_plan_file(const std::filesystem::path& path, Console& console);

/// The files of one compiled scenario, as the command line names them.
struct CompiledFileNames {
  std::string track;                      // ROUTE_TRAIN.dat
  std::optional<std::string> table = {};  // default: ROUTE_TRAIN.sim beside the track
  std::optional<std::string> plan = {};  // default: ROUTE_linea.dat beside it, ROUTE from the table
  bool no_plan = false;                  // no route plan, not even looked for
};

/// What became of the route plan.
enum class PlanPresence {
  LeftOut,     // not asked for
  Absent,      // no such file beside the track (one given by name must be there)
  Present,     // read and checked
  Unreadable,  // there but cannot be read, or not a route plan: the reading failed
};

/// A compiled scenario read: the files, or the status to end with once the failure was said.
struct CompiledFilesReading {
  std::optional<CompiledFiles> files;
  int status = 0;
  std::filesystem::path track_path;
  std::filesystem::path table_path;
  std::filesystem::path plan_path;  // the one given or looked for; empty when left out
  PlanPresence plan = PlanPresence::LeftOut;
};

/// Reads the track, then its table, then its route plan, stopping at the first that fails. Only
/// a plan the system reports as no such file is Absent; one there but unreadable fails.
CompiledFilesReading read_compiled_files(const CompiledFileNames& names, Console& console,
                                         FileLayer& file_layer = system_files());

}  // namespace scengen
