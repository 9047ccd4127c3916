// scengen decompile: the two description texts recovered from a compiled scenario, checked by
// compiling them back in memory.
#include <filesystem>
#include <ostream>

#include "cli/command_files.h"
#include "cli/command_table.h"
#include "cli/compiled_files_reading.h"
#include "decompiler/decompile.h"
#include "run/exit_status.h"
#include "run/printable_text.h"

namespace scengen {
namespace {

struct DecompileOptions {
  std::string track;
  std::optional<std::string> sim;
  std::optional<std::string> plan;
  std::optional<std::string> out;  // default: the current folder
  std::optional<std::string> route;
  std::optional<std::string> train;
  bool force = false;
  bool quiet = false;  // no line for the folder made or the files written
};

// The route and the train: as UTF-8 to name the texts, and in Windows-1252 for the compile.
struct DecompileNames {
  std::string route;
  std::string train;
  std::string route_bytes;
  std::string train_bytes;
};

// The names from --route and --train, else from ROUTE_TRAIN.dat; nothing once a line said why.
std::optional<DecompileNames> decompile_names(const DecompileOptions& o, Console& console) {
  const std::filesystem::path track_path = argument_path(o.track);
  const std::string stem = track_path.stem().string();
  const size_t cut = stem.rfind('_');
  if ((!o.route || !o.train) && (cut == std::string::npos || cut == 0)) {
    console.err << "scengen decompile: " << printable_path(track_path)
                << " is not named ROUTE_TRAIN.dat: give --route and --train\n";
    return std::nullopt;
  }
  const std::string file_route = cut == std::string::npos ? "" : stem.substr(0, cut);
  const std::string route = o.route.value_or(file_route);
  const std::string train = o.train.value_or(stem.substr(cut + 1));
  if (!usable_name("decompile", route, console) || !usable_name("decompile", train, console))
    return std::nullopt;
  if (!fitting_names("decompile", {route + "_linea.txt", route + "_" + train + "-.txt"}, console))
    return std::nullopt;
  const std::string source = printable_path(track_path);
  auto route_bytes =
      compiled_name("decompile", "route", route, o.route ? "--route" : source, console);
  auto train_bytes = route_bytes ? compiled_name("decompile", "train", train,
                                                 o.train ? "--train" : source, console)
                                 : std::nullopt;
  if (!train_bytes) return std::nullopt;
  return DecompileNames{route, train, std::move(*route_bytes), std::move(*train_bytes)};
}

int decompile_files(const DecompileOptions& o, Console& console) {
  const auto names = decompile_names(o, console);
  if (!names) return kExitUsage;
  const std::string& route = names->route;
  const std::string& train = names->train;
  CompiledFilesReading read = read_compiled_files({o.track, o.sim, o.plan, false}, console);
  if (!read.files) return read.status;
  const bool with_plan = read.plan == PlanPresence::Present;
  CompiledFiles scenario{std::move(read.files->cells), std::move(read.files->table),
                         std::move(read.files->plan)};

  // Without --out, the current folder: the names alone.
  const std::filesystem::path out = o.out ? argument_path(*o.out) : std::filesystem::path();
  const std::filesystem::path line_path = out / argument_path(route + "_linea.txt");
  const std::filesystem::path train_path = out / argument_path(route + "_" + train + "-.txt");
  // Held from the look at the earlier texts to the end of the writing.
  if (!make_output_folder(out, console, o.quiet)) return kExitFileFailed;
  std::unique_ptr<OutputLock> lock;
  try {
    lock = lock_output_folder(out, console.err);
  } catch (const FileError& error) {
    report_write_failure(error, console);
    return kExitFileFailed;
  }
  if (!o.force) {
    for (const auto& path : {line_path, train_path}) {
      std::error_code error;
      if (std::filesystem::exists(path, error)) {
        console.err << "scengen decompile: " << printable_path(path)
                    << " exists: give --force to replace it\n";
        return kExitFileFailed;
      }
    }
  }

  const Decompilation d = decompile(scenario, names->route_bytes, names->train_bytes);
  FileLayer& files = system_files();
  try {
    files.write_replacing(line_path, d.line_text);
    files.write_replacing(train_path, d.train_text);
  } catch (const FileError& error) {
    report_write_failure(error, console);
    return kExitFileFailed;
  }
  if (read.plan == PlanPresence::Absent) {
    console.err << "scengen decompile: no route plan " << printable_path(read.plan_path)
                << ": the line text has no curves\n";
  }
  for (const std::string& note : d.notes)
    console.err << "scengen decompile: " << printable_text(note) << '\n';
  if (!d.exact()) {
    console.err << "scengen decompile: the texts do not compile back to the same files"
                << (with_plan ? "" : " (route plan left out)") << "; file against texts:\n";
    for (const std::string& line : d.differences)
      console.err << "  " << printable_text(line) << '\n';
  }
  report_files_written(out, 2, console, o.quiet);
  return d.exact() ? kExitOk : kExitCompileError;
}

constexpr const char* kDecompileFooter =
    R"(Reads a compiled track ROUTE_TRAIN.dat, its scenario table (ROUTE_TRAIN.sim beside it unless
--sim names it) and its route plan (ROUTE_linea.dat beside it, when there is one, unless --plan
names it), and writes ROUTE_linea.txt and ROUTE_TRAIN-.txt in the program's own layout. The route
and train come from the track's name unless --route and --train give them; they also name the
texts. What the compile derives (the code points around slow orders, the seal, the scenario
codes, marks and markers) is left to it. Where a later record overwrote an earlier one (a station
marker over a board, a signal or a slow order's cell, a later approach mark, a tunnel over
another), the texts hold both, in the order that gives the files back. Files of a compile that
stopped with an error come back from texts that stop at the same place; one line names the error.
Curves come from the route plan: without one, none are written, the plan is not compared and one
line says so. A route plan that is there but cannot be read (a folder, a loop of links, no
permission) ends the command with status 4, nothing written.

The texts are compiled back in memory and compared with the files. Exit status 0: they compile
to the same bytes. Exit status 1: they do not, which happens only for files this compiler cannot
have made (edited by hand, damaged, another program's): a line names what no text explains, the
texts are written all the same, and every cell, slot or plan point that would differ is listed
with its metres, the file's value first; or a file is not of its kind. Exit status 2: the command line is wrong, or the route or train
cannot name the texts or has no Windows-1252 form. Exit status 4: a file cannot be read, or a
text exists already (give --force to replace it) or cannot be written. The folder of --out is
made when it is missing; one line says how many texts were written there (--quiet leaves it out).

Examples:
  scengen decompile Veltrano_Quarnelo_58316.dat --out texts
  scengen decompile scenario/Ponte_Alto_2101.dat --plan scenario/Ponte_Alto_linea.dat --force
  scengen decompile track.dat --sim table.sim --route Ponte_Alto --train 2101)";

}  // namespace

void add_decompile_command(CLI::App& app, CommandContext& context) {
  const auto [command, o] = add_command(
      app, context,
      {"decompile", "The description texts recovered from a compiled scenario.", kDecompileFooter},
      decompile_files);
  command->add_option("TRACK", o->track, "The compiled track ROUTE_TRAIN.dat")
      ->required()
      ->type_name("FILE");
  command->add_option("--sim", o->sim, "The scenario table (default: ROUTE_TRAIN.sim beside it)")
      ->type_name("FILE");
  command->add_option("--plan", o->plan, "The route plan (default: ROUTE_linea.dat beside it)")
      ->type_name("FILE");
  add_out_option(*command, o->out, "the current one");
  command->add_option("--route", o->route, "The route (default: from TRACK's name)")
      ->type_name("ID");
  command->add_option("--train", o->train, "The train (default: from TRACK's name)")
      ->type_name("NUMBER");
  command->add_flag("--force", o->force, "Replace texts of the same names");
  add_quiet_option(*command, o->quiet);
}

}  // namespace scengen
