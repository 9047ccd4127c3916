#include "cli/command_line.h"

#include <CLI/CLI.hpp>
#include <iostream>

#include "cli/command_files.h"
#include "cli/commands.h"
#include "render/render_command.h"
#include "run/exit_status.h"

#ifndef SCENGEN_VERSION
#define SCENGEN_VERSION "unknown"
#endif

namespace scengen {
namespace {

constexpr const char* kProgramHelp =
    "scengen compiles the scenarios of a train-driving simulator: a line description and a train\n"
    "description (two texts) into the route plan, the scenario table and the compiled track.\n"
    "With no command it writes the built-in scenario's files into the program's folder.";

constexpr const char* kProgramFooter = R"(Exit statuses:
  0  done, no error
  1  a compile error was recorded (the files are written all the same), or a file given to
     dump is not of its kind
  2  the command line is wrong
  3  stopped before any binary file: error 1250 or 1251, or no track compiled
  4  a file could not be written, or a file given to the program could not be read

Examples:
  scengen                       the built-in scenario, into the program's folder
  scengen texts --out work      the built-in texts and documents, to start from
  scengen check work/Veltrano_Quarnelo_linea.txt work/Veltrano_Quarnelo_58316-.txt
  scengen compile work/Veltrano_Quarnelo_linea.txt work/Veltrano_Quarnelo_58316-.txt --out work
  scengen dump work/Veltrano_Quarnelo_58316.dat --cells 1048:1052

Run 'scengen COMMAND --help' for the options of a command.)";

constexpr const char* kRunFooter =
    R"(Writes the two description texts and the three crew documents, compiles the texts (deleting
them once read) and writes the route plan, the scenario table and the compiled track.

Examples:
  scengen run                   the same as scengen without a command
  scengen run --out /tmp/s      the six files into /tmp/s (the folder must exist)
  scengen run --no-plan         no route plan: Veltrano_Quarnelo_linea.dat is neither computed
                                nor written, an earlier one stays as it is)";

constexpr const char* kCompileFooter =
    R"(The route and the train name the output files: ROUTE_linea.dat (route plan), ROUTE_TRAIN.sim
(scenario table) and ROUTE_TRAIN.dat (compiled track). They are taken from the file names
ROUTE_linea.txt and ROUTE_TRAIN-.txt unless --route and --train give them. The two texts are
only read: they are never changed or deleted. Errors and warnings are shown as by 'check'.

Examples:
  scengen compile Veltrano_Quarnelo_linea.txt Veltrano_Quarnelo_58316-.txt
  scengen compile line.txt train.txt --route Ponte_Alto --train 2101 --out build
  scengen compile Ponte_Alto_linea.txt Ponte_Alto_2101-.txt --no-plan --json)";

constexpr const char* kCheckFooter =
    R"(Shows the error the compile records, if any, where it was met:
  Ponte_Alto_linea.txt:37:1: error 15: a position lies beyond the track (at 78950 m)
    pendenza,  78950,   2
    ^
and warnings for what the compile accepts but is almost surely a mistake: a field that matches
no record, records of one series out of order, a number field with characters after its digits,
a position that is not a multiple of 50 where the cells round it, a feature beyond the route's
end. Exit status 1 on an error; warnings alone leave it 0. Nothing is written.

Examples:
  scengen check Ponte_Alto_linea.txt Ponte_Alto_2101-.txt
  scengen check Ponte_Alto_linea.txt Ponte_Alto_2101-.txt --json)";

constexpr const char* kDumpFooter =
    R"(The kind comes from the name: ROUTE_linea.dat is a route plan, *.sim a scenario table, any other
*.dat a compiled track. Cells show their Kind by name, km/h (SpeedLimit x 5), grad (Gradient
- 100, per mille) and, unpacked, what their parameters hold: a signal's s, d, sx, dx, rapp and
tempo, a maximum-speed board's speeds. Texts are shown as UTF-8. --cells selects cells, slots or
plan points: A:B, A: (to the end), :B (from 0) or A alone.

Examples:
  scengen dump Veltrano_Quarnelo_58316.dat --cells 1048:1084
  scengen dump Veltrano_Quarnelo_58316.sim --cells 81:86
  scengen dump Veltrano_Quarnelo_linea.dat --cells 999:1002 --json
  scengen dump scenario.bin --kind track)";

constexpr const char* kTextsFooter =
    R"(Writes Veltrano_Quarnelo_linea.txt, Veltrano_Quarnelo_58316-.txt and the train card, slow-order
notice and notes of the built-in scenario, so that an author can start from a working scenario.

Examples:
  scengen texts                 into the current folder
  scengen texts --out work      into work (the folder must exist))";

constexpr const char* kRenderFooter =
    R"(Compiles the scenario in memory and draws it from the compiled model: ROUTE_map.svg (the
ground plan), ROUTE_TRAIN_profile.svg (everything along the line) and ROUTE_TRAIN.html (both
pictures and the crew documents in one page). With no texts, the built-in scenario. The route
and the train are taken as by 'compile'; the texts are only read.

Examples:
  scengen render --out pictures
  scengen render Ponte_Alto_linea.txt Ponte_Alto_2101-.txt --out pictures)";

// One line for a command line that cannot be parsed, naming the help to read.
int usage_error(const CLI::App& app, const CLI::ParseError& error, std::ostream& err) {
  std::string command = "scengen";
  for (const CLI::App* sub : app.get_subcommands()) command += " " + sub->get_name();
  err << command << ": " << error.what() << " (see '" << command << " --help')\n";
  return kExitUsage;
}

// The two description texts that compile and check take, in this order.
void add_required_texts(CLI::App& command, std::string& line_text, std::string& train_text) {
  command.add_option("LINE_TEXT", line_text, "The line description")->required()->type_name("FILE");
  command.add_option("TRAIN_TEXT", train_text, "The train description")
      ->required()
      ->type_name("FILE");
}

}  // namespace

int run_command_line(int argc, char** argv) {
  return run_command_line(argc, argv, nullptr);
}

int run_command_line(int argc, char** argv, Platform* window) {
  Console console{std::cout, std::cerr, window};
  if (argc <= 1) return run_built_in({}, console);

  CLI::App app(kProgramHelp, "scengen");
  app.footer(kProgramFooter);
  app.set_version_flag("--version", std::string("scengen ") + SCENGEN_VERSION_TEXT);
  app.require_subcommand(0, 1);

  RunOptions run;
  CLI::App* run_app = app.add_subcommand("run", "The built-in scenario, into a folder.");
  run_app->footer(kRunFooter);
  run_app->add_option("--out", run.out, "Folder for the files (default: the program's folder)")
      ->type_name("DIR");
  run_app->add_flag("--no-plan", run.no_plan, "Compile without the route plan (j = 0)");

  CompileOptions compile;
  CLI::App* compile_app =
      app.add_subcommand("compile", "An author's texts into the three binary files.");
  compile_app->footer(kCompileFooter);
  add_required_texts(*compile_app, compile.line_text, compile.train_text);
  compile_app->add_option("--out", compile.out, "Folder for the files (default: the current one)")
      ->type_name("DIR");
  compile_app->add_option("--route", compile.route, "The route (default: from LINE_TEXT's name)")
      ->type_name("ID");
  compile_app->add_option("--train", compile.train, "The train (default: from TRAIN_TEXT's name)")
      ->type_name("NUMBER");
  compile_app->add_flag("--no-plan", compile.no_plan, "Neither compute nor write the route plan");
  compile_app->add_flag("--json", compile.json, "Report as JSON on standard output");

  CheckOptions check;
  CLI::App* check_app =
      app.add_subcommand("check", "Compile an author's texts in memory and report what is wrong.");
  check_app->footer(kCheckFooter);
  add_required_texts(*check_app, check.line_text, check.train_text);
  check_app->add_flag("--json", check.json, "Report as JSON on standard output");

  DumpOptions dump;
  CLI::App* dump_app =
      app.add_subcommand("dump", "A compiled track, scenario table or route plan, readable.");
  dump_app->footer(kDumpFooter);
  dump_app->add_option("FILE", dump.file, "The binary file")->required()->type_name("FILE");
  dump_app->add_option("--kind", dump.kind, "The file's kind, whatever its name")
      ->check(CLI::IsMember({"track", "table", "plan"}))
      ->type_name("KIND");
  dump_app->add_option("--cells", dump.cells, "Only cells (slots, points) A to B")
      ->type_name("A:B");
  dump_app->add_flag("--json", dump.json, "JSON instead of a table");

  TextsOptions texts;
  CLI::App* texts_app =
      app.add_subcommand("texts", "The built-in texts and documents, to start from.");
  texts_app->footer(kTextsFooter);
  texts_app->add_option("--out", texts.out, "Folder for the files (default: the current one)")
      ->type_name("DIR");

  std::string render_line, render_train;
  RenderOptions render;
  CLI::App* render_app =
      app.add_subcommand("render", "Pictures of a scenario: route map, route profile, page.");
  render_app->footer(kRenderFooter);
  render_app->add_option("LINE_TEXT", render_line, "The line description")->type_name("FILE");
  render_app->add_option("TRAIN_TEXT", render_train, "The train description")->type_name("FILE");
  render_app->add_option("--out", render.out, "Folder for the files (default: the current one)")
      ->type_name("DIR");
  render_app->add_option("--route", render.route, "The route (default: from LINE_TEXT's name)")
      ->type_name("ID");
  render_app->add_option("--train", render.train, "The train (default: from TRAIN_TEXT's name)")
      ->type_name("NUMBER");

  try {
    app.parse(argc, argv);
  } catch (const CLI::Success& done) {
    return app.exit(done, std::cout, std::cerr);  // --help, --version
  } catch (const CLI::ParseError& error) {
    return usage_error(app, error, std::cerr);
  }

  if (run_app->parsed()) return run_built_in(run, console);
  if (compile_app->parsed()) return compile_texts(compile, console);
  if (check_app->parsed()) return check_texts(check, console);
  if (dump_app->parsed()) return dump_file(dump, console);
  if (texts_app->parsed()) return write_texts(texts, console);
  if (render_app->parsed()) {
    if (!render_line.empty()) render.line_text = argument_path(render_line);
    if (!render_train.empty()) render.train_text = argument_path(render_train);
    return render_command(render, system_files(), console.err);
  }
  return run_built_in({}, console);
}

}  // namespace scengen
