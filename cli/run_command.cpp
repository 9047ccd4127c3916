// scengen run: the built-in scenario, as the program without arguments runs it.

#include "cli/command_files.h"
#include "cli/command_table.h"
#include "platform/platform.h"
#include "run/exit_status.h"
#include "run/file_failure.h"
#include "run/builtin_run.h"
#include "run/own_files.h"
#include "run/scenario_files.h"

namespace scengen {
namespace {

constexpr const char* kRunFooter =
    R"(Writes the two description texts and the three crew documents, compiles the texts (deleting
them once read) and writes the route plan, the scenario table and the compiled track.

An author's files are never overwritten: when a description text or crew document of the names
above exists and its bytes are not those the program writes there (the plain or the annotated
built-in text, or the built-in document), the run stops before writing anything, names the file
and ends with status 4; --force overwrites it (a write-protected file stays refused). Runs and
compiles into one folder take turns (through a lock file, .scengen.lock, there while one writes).
The last line, on standard error, says how many files the run left and in which folder (the
program's own, through any symbolic link, unless --out names one); --quiet leaves it out.

Exit status: 0 done; 1 a compile error recorded (the files are written all the same); 2 the
command line is wrong; 3 stopped before any binary file (error 1250 or 1251, or no track); 4 a
file could not be written, or an author's text or document stood in the way.

Examples:
  scengen run                   the same as scengen without a command
  scengen run --out /tmp/s      the six files into /tmp/s (made when it is missing)
  scengen run --no-plan         no route plan: Veltrano_Quarnelo_linea.dat is neither computed
                                nor written, an earlier one stays as it is
  scengen run --force           overwrite description texts and documents edited since)";

// The closing line: the crew documents stay, and the binary files when the run got to them (the
// description texts are its own and gone).
void report_files_left(const std::filesystem::path& folder, int32_t j, int status,
                       Console& console, bool quiet) {
  if (status != kExitOk && status != kExitCompileError && status != kExitStopped) return;
  const size_t binary_files = status == kExitStopped ? 0 : j != 0 ? 3 : 2;
  report_files_written(folder, kCrewDocuments.size() + binary_files, console, quiet);
}

}  // namespace

int run_built_in(const RunOptions& o, Console& console) {
  // The run reports through the platform, as the program without arguments does.
  Platform& platform = console.window != nullptr ? *console.window : console_platform();
  const int32_t j = o.no_plan ? 0 : 1;
  const std::filesystem::path folder = o.out ? argument_path(*o.out) : platform.program_folder();
  FileLayer& files = system_files();
  if (o.out && !make_output_folder(folder, console, o.quiet)) return kExitFileFailed;
  try {
    // Held from the look at the earlier files until the texts are deleted and the set written.
    const auto lock = lock_output_folder(folder, console.err);
    if (!o.force) {
      if (const auto authors = first_authors_file(files, folder)) {
        const std::string force =
            o.out ? "scengen run --out " + *o.out + " --force" : std::string("scengen run --force");
        platform.report(authors_file_line(*authors, force));
        return kExitFileFailed;
      }
    }
    const int status = BuiltinRun(platform, files, folder).run(j);
    // The window program has no console to say it on; its window is the run's whole report.
    if (console.window == nullptr) report_files_left(folder, j, status, console, o.quiet);
    return status;
  } catch (const FileError& error) {
    platform.report(write_failure_line(error));
    return kExitFileFailed;
  }
}

void add_run_command(CLI::App& app, CommandContext& context) {
  const auto [command, o] = add_command(
      app, context, {"run", "The built-in scenario, into a folder.", kRunFooter}, run_built_in);
  add_out_option(*command, o->out, "the program's folder");
  command->add_flag("--no-plan", o->no_plan, "Compile without the route plan (j = 0)");
  command->add_flag("--force", o->force,
                    "Overwrite description texts and crew documents that are not the program's "
                    "own (edited, or other files of those names)");
  add_quiet_option(*command, o->quiet);
}

}  // namespace scengen
