#include "cli/command_line.h"

#include <CLI/CLI.hpp>
#include <iostream>
#include <new>

#include "cli/command_table.h"
#include "run/exit_status.h"

namespace scengen {
namespace {

constexpr const char* kProgramHelp =
    "scengen compiles the scenarios of a train-driving simulator: a line description and a train\n"
    "description (two texts) into the route plan, the scenario table and the compiled track.\n"
    "With no command it writes the built-in scenario's files into the program's folder; it\n"
    "stops before writing if a text or document there was edited ('scengen run --force'\n"
    "overwrites it).";

constexpr const char* kProgramFooter = R"(Exit statuses:
  0  done, no error
  1  a compile error was recorded (the files are written all the same), or a file given to
     dump or diff is not of its kind, or diff found differences
  2  the command line is wrong
  3  stopped before any binary file: error 1250 or 1251, or no track compiled
  4  a file could not be written, a file given to the program could not be read or is too
     large, an author's edited text or document stood in the way (see 'run --help'), or
     memory ran out
  129, 130, 143  ended by SIGHUP, Ctrl-C or SIGTERM (no temporary file stays)

Examples:
  scengen                       the built-in scenario, into the program's folder
  scengen texts --out work      the built-in texts and documents, to start from
  scengen check work/Veltrano_Quarnelo_linea.txt work/Veltrano_Quarnelo_58316-.txt
  scengen compile work/Veltrano_Quarnelo_linea.txt work/Veltrano_Quarnelo_58316-.txt --out work
  scengen dump work/Veltrano_Quarnelo_58316.dat --cells 1048:1052
  scengen diff old/Veltrano_Quarnelo_58316.dat work/Veltrano_Quarnelo_58316.dat
  scengen decompile work/Veltrano_Quarnelo_58316.dat --out recovered

Run 'scengen COMMAND --help' for the options of a command.)";

// The commands in the order --help lists them.
using AddCommand = void (*)(CLI::App&, CommandContext&);
constexpr AddCommand kCommands[] = {add_run_command,  add_compile_command,   add_check_command,
                                    add_dump_command, add_texts_command,     add_render_command,
                                    add_diff_command, add_decompile_command, add_explain_command};

// One line for a command line that cannot be parsed, naming the help to read.
int usage_error(const CLI::App& app, const CLI::ParseError& error, std::ostream& err) {
  std::string command = "scengen";
  for (const CLI::App* sub : app.get_subcommands()) command += " " + sub->get_name();
  err << command << ": " << error.what() << " (see '" << command << " --help')\n";
  return kExitUsage;
}

// An empty --out would be joined into names at the root of the file system; the parser runs no
// check on an empty value, so it is looked at here.
void refuse_empty_out(const CLI::App& app) {
  for (const CLI::App* sub : app.get_subcommands()) {
    const CLI::Option* out = sub->get_option_no_throw("--out");
    if (out == nullptr) continue;
    for (const std::string& value : out->results()) {
      if (value.empty()) throw CLI::ValidationError("--out", "needs a folder, not an empty value");
    }
  }
}

// Parses and runs; run_command_line guards it.
int run_command_line_unguarded(int argc, char** argv, Platform* window);

}  // namespace

void add_text_arguments(CLI::App& command, std::string& line_text, std::string& train_text,
                        bool required) {
  CLI::Option* line = command.add_option("LINE_TEXT", line_text, "The line description");
  CLI::Option* train = command.add_option("TRAIN_TEXT", train_text, "The train description");
  for (CLI::Option* text : {line, train}) text->required(required)->type_name("FILE");
}

void add_out_option(CLI::App& command, std::optional<std::string>& out,
                    const std::string& folder_help) {
  command.add_option("--out", out, "Folder for the files (default: " + folder_help + ")")
      ->type_name("DIR");
}

void add_identity_options(CLI::App& command, std::optional<std::string>& route,
                          std::optional<std::string>& train) {
  command.add_option("--route", route, "The route (default: from LINE_TEXT's name)")
      ->type_name("ID");
  command.add_option("--train", train, "The train (default: from TRAIN_TEXT's name)")
      ->type_name("NUMBER");
}

int run_command_line(int argc, char** argv) {
  return run_command_line(argc, argv, nullptr);
}

int run_command_line(int argc, char** argv, Platform* window) {
  try {
    return run_command_line_unguarded(argc, argv, window);
  } catch (const std::bad_alloc&) {
    // The stack is unwound by now: the temporaries are gone and the memory is free again.
    std::cerr << "scengen: out of memory; the command was stopped and no file was left half "
                 "written\n";
    return kExitFileFailed;
  }
}

namespace {

int run_command_line_unguarded(int argc, char** argv, Platform* window) {
  Console console{std::cout, std::cerr, window};
  if (argc <= 1) return run_built_in({}, console);

  CLI::App app(kProgramHelp, "scengen");
  app.footer(kProgramFooter);
  app.set_version_flag("--version", std::string("scengen ") + SCENGEN_VERSION_TEXT);
  app.require_subcommand(0, 1);
  CommandContext context{console, {}};
  for (const AddCommand add : kCommands) add(app, context);

  try {
    app.parse(argc, argv);
    refuse_empty_out(app);
  } catch (const CLI::Success& done) {
    return app.exit(done, std::cout, std::cerr);  // --help, --version
  } catch (const CLI::ParseError& error) {
    return usage_error(app, error, std::cerr);
  }
  return context.run ? context.run() : run_built_in({}, console);
}

}  // namespace

}  // namespace scengen
