// scengen compile: an author's texts into the three binary files.
#include "cli/compile_command.h"

#include <ostream>

#include "cli/command_files.h"
#include "cli/command_table.h"
#include "cli/diagnostics.h"
#include "cli/report_options.h"
#include "compiler/compile.h"
#include "platform/platform.h"
#include "run/binary_files.h"
#include "run/exit_status.h"
#include "run/printable_text.h"
#include "run/scenario_files.h"

namespace scengen {
namespace {

constexpr const char* kCompileFooter =
    R"(The route and the train name the output files: ROUTE_linea.dat (route plan), ROUTE_TRAIN.sim
(scenario table) and ROUTE_TRAIN.dat (compiled track). They are taken from the file names
ROUTE_linea.txt and ROUTE_TRAIN-.txt unless --route and --train give them. The two texts are
only read: they are never changed or deleted. Errors and warnings are shown as by 'check': every
error of both texts in one pass, those after the first of a text found by reading on for the
diagnostics alone (the files are those of the compile, which stops at that first error).
With --strict a warning makes the exit status 1 as an error does (the files are written all the
same: warnings never change a byte of them). Texts saved as UTF-8 are read with --encoding
utf-8, or with --encoding auto, which reads each text by itself and says how; a character that
has no byte in Windows-1252 is then an error and no file is written (with --json, status_code
1252). The folder of --out is made when it is missing; the last line says how many files were
written there (--quiet or --json leaves it out: the JSON lists them).

Exit status: 0 written, no error; 1 written with a compile error, or a warning with --strict;
2 the command line or a route or train name is wrong; 3 no file written: error 1250 or 1251,
no track compiled, or a text that is not in its encoding; 4 a text cannot be read or a file
cannot be written.

Examples:
  scengen compile Veltrano_Quarnelo_linea.txt Veltrano_Quarnelo_58316-.txt
  scengen compile line.txt train.txt --route Ponte_Alto --train 2101 --out build
  scengen compile Ponte_Alto_linea.txt Ponte_Alto_2101-.txt --no-plan --json
  scengen compile Ponte_Alto_linea.txt Ponte_Alto_2101-.txt --encoding utf-8 --strict)";

std::filesystem::path output_folder(const std::optional<std::string>& out) {
  return out ? argument_path(*out) : std::filesystem::path();
}

}  // namespace

std::optional<Identity> scenario_identity(const CompileOptions& o, const char* command,
                                          Console& console) {
  Identity id;
  const auto line_path = argument_path(o.line_text);
  const auto train_path = argument_path(o.train_text);
  if (o.route) {
    id.route = *o.route;
  } else if (auto route = route_from_line_text(line_path)) {
    id.route = *route;
  } else {
    console.err << "scengen " << command << ": cannot tell the route from the name "
                << printable_path(line_path) << " (not ROUTE_linea.txt): give --route\n";
    return std::nullopt;
  }
  if (!usable_name(command, id.route, console)) return std::nullopt;
  if (o.train) {
    id.train = *o.train;
  } else if (auto train = train_from_train_text(train_path, id.route)) {
    id.train = *train;
  } else {
    console.err << "scengen " << command << ": cannot tell the train from the name "
                << printable_path(train_path) << " (not " << printable_text(id.route)
                << "_TRAIN-.txt): give --train\n";
    return std::nullopt;
  }
  if (!usable_name(command, id.train, console)) return std::nullopt;
  const std::string stem = id.route + "_" + id.train;
  if (!fitting_names(command, {id.route + "_linea.dat", stem + ".sim", stem + ".dat"}, console))
    return std::nullopt;
  auto route = compiled_name(command, "route", id.route,
                             o.route ? "--route" : printable_path(line_path), console);
  if (!route) return std::nullopt;
  auto train = compiled_name(command, "train", id.train,
                             o.train ? "--train" : printable_path(train_path), console);
  if (!train) return std::nullopt;
  return Identity{std::move(*route), std::move(*train)};
}

int compile_texts(const CompileOptions& o, Console& console) {
  const auto id = scenario_identity(o, "compile", console);
  if (!id) return kExitUsage;
  FileLayer& files = system_files();
  auto texts = read_author_texts(files, o.line_text, o.train_text, console);
  if (!texts) return kExitFileFailed;
  if (const auto failure = decode_author_texts(*texts, o.encoding)) {
    report_encoding_failure(*failure, *texts, o.json, "no binary file was written", console);
    return kExitStopped;
  }
  if (!o.json) print_encodings(*texts, console.err);

  Compilation c;
  c.RouteId = id->route;
  c.TrainNumber = id->train;
  c.CollectWarnings = true;
  c.MaxWarnings = o.max_warnings;
  const CompileOutcome outcome = compile_author_texts(c, *texts, o.no_plan ? 0 : 1);
  if (outcome.end == CompileEnd::SealError && console.window != nullptr && !o.json) {
    // The window program shows the seal's errors as the built-in run does; OK ends it.
    console.window->message_box(" Errore n. " + std::to_string(outcome.seal_code));
    return kExitStopped;
  }
  CompileReport report = make_report(c, outcome);

  // The JSON names the files written: no line of its own for them.
  const bool quiet = o.quiet || o.json;
  if (!report.stopped) {
    if (!make_output_folder(output_folder(o.out), console, quiet)) return kExitFileFailed;
    try {
      // One compile at a time in a folder: its three files are one set.
      const auto lock = lock_output_folder(output_folder(o.out), console.err);
      write_binary_files(files, output_folder(o.out), c, report.files_written);
    } catch (const FileError& error) {
      // The report still tells what the compile found and which files it completed.
      if (o.json) {
        console.out << report_json(report, *texts);
      } else {
        print_diagnostics(report, *texts, console.err);
      }
      report_write_failure(error, console);
      return kExitFileFailed;
    }
  }
  if (o.json) {
    console.out << report_json(report, *texts);
  } else {
    print_diagnostics(report, *texts, console.err);
    if (report.stopped) console.err << "scengen: no binary file was written\n";
  }
  if (!report.stopped) {
    report_files_written(output_folder(o.out), report.files_written.size(), console, quiet);
  }
  // The verdict on the warnings comes last: the files are written all the same.
  if (strict_failure(report, o.strict, console.err, o.json) && !report.failed()) {
    return kExitCompileError;
  }
  return exit_status_of(report.stopped, report.status_code);
}

void add_compile_command(CLI::App& app, CommandContext& context) {
  const auto [command, o] = add_command(
      app, context, {"compile", "An author's texts into the three binary files.", kCompileFooter},
      compile_texts);
  add_text_arguments(*command, o->line_text, o->train_text, /*required=*/true);
  add_out_option(*command, o->out, "the current one");
  add_identity_options(*command, o->route, o->train);
  command->add_flag("--no-plan", o->no_plan, "Neither compute nor write the route plan");
  command->add_flag("--json", o->json, "Report as JSON on standard output");
  add_encoding_option(*command, o->encoding);
  add_warning_options(*command, o->max_warnings, &o->strict);
  add_quiet_option(*command, o->quiet);
}

}  // namespace scengen
