#include "cli/command_line.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <iostream>
#include <new>
#include <string_view>
#include <vector>

#include "cli/command_table.h"
#include "run/exit_status.h"
#include "run/printable_text.h"

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
  1  a compile error was recorded (the files are written all the same); check: any error;
     a file given to dump or decompile is not of its kind; diff found differences; the texts
     decompile wrote do not compile back to the same files
  2  the command line is wrong, or a route or train name has no Windows-1252 form
  3  stopped before any binary file: error 1250 or 1251, no track compiled, or a text that
     is not in its --encoding (compile and render; check says 1)
  4  a file could not be written or a folder made, a file given to the program could not
     be read, is too large or (diff) is not of its kind, an author's edited text or
     document stood in the way (see 'run --help'), or memory ran out
  129, 130, 143  ended by SIGHUP, Ctrl-C or SIGTERM (no temporary file stays)

Examples:
  scengen                       the built-in scenario, into the program's folder
  scengen texts --out work      the built-in texts and documents, to start from (work is
                                made when it is missing)
  scengen check work/Veltrano_Quarnelo_linea.txt work/Veltrano_Quarnelo_58316-.txt
  scengen compile work/Veltrano_Quarnelo_linea.txt work/Veltrano_Quarnelo_58316-.txt --out work
  scengen dump work/Veltrano_Quarnelo_58316.dat --cells 1048:1052
  scengen diff old/Veltrano_Quarnelo_58316.dat work/Veltrano_Quarnelo_58316.dat
  scengen decompile work/Veltrano_Quarnelo_58316.dat --out recovered

Run 'scengen help COMMAND' or 'scengen COMMAND --help' for the options of a command.)";

// The commands in the order --help lists them.
using AddCommand = void (*)(CLI::App&, CommandContext&);
constexpr AddCommand kCommands[] = {add_run_command,  add_compile_command,   add_check_command,
                                    add_dump_command, add_texts_command,     add_render_command,
                                    add_diff_command, add_decompile_command, add_explain_command,
                                    add_fmt_command, add_build_command, add_lsp_command, add_watch_command};

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

// How many single-character edits (insert, delete, replace, swap two neighbours) turn `a` into
// `b`.
size_t edit_distance(std::string_view a, std::string_view b) {
  std::vector<std::vector<size_t>> d(a.size() + 1, std::vector<size_t>(b.size() + 1));
  for (size_t i = 0; i <= a.size(); ++i) d[i][0] = i;
  for (size_t j = 0; j <= b.size(); ++j) d[0][j] = j;
  for (size_t i = 1; i <= a.size(); ++i) {
    for (size_t j = 1; j <= b.size(); ++j) {
      d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1,
                          d[i - 1][j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1)});
      if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) {
        d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
      }
    }
  }
  return d[a.size()][b.size()];
}

// The command a mistyped name most likely meant: the nearest within two edits, or the only one
// it begins; empty when none is that close.
std::string nearest_command(std::string_view typed, const std::vector<std::string>& commands) {
  std::string nearest;
  size_t best = 3;
  for (const std::string& name : commands) {
    const size_t distance = edit_distance(typed, name);
    if (distance < best && distance < typed.size()) {
      best = distance;
      nearest = name;
    }
  }
  if (!nearest.empty() || typed.size() < 2) return nearest;
  for (const std::string& name : commands) {
    if (!name.starts_with(typed)) continue;
    if (!nearest.empty()) return {};  // two commands begin so: neither is meant more
    nearest = name;
  }
  return nearest;
}

// The names of the commands, as --help lists them.
std::vector<std::string> command_names(CLI::App& app) {
  std::vector<std::string> names;
  for (const CLI::App* sub : app.get_subcommands([](CLI::App*) { return true; }))
    names.push_back(sub->get_name());
  return names;
}

// The one line for a word that names no command, with the one it most likely meant.
int unknown_command(std::string_view typed, const std::vector<std::string>& commands,
                    std::ostream& err) {
  err << "scengen: unknown command '" << printable_text(typed) << "'";
  const std::string nearest = nearest_command(typed, commands);
  if (!nearest.empty()) err << "; did you mean '" << nearest << "'?";
  err << " (see 'scengen --help')\n";
  return kExitUsage;
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

void add_quiet_option(CLI::App& command, bool& quiet) {
  command.add_flag("--quiet", quiet,
                   "Leave out the lines that name the folder made and the files written");
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

  // The first word names the command; "help COMMAND" is that command's --help.
  std::vector<char*> args(argv, argv + argc);
  const std::vector<std::string> commands = command_names(app);
  const auto is_command = [&commands](std::string_view word) {
    return std::find(commands.begin(), commands.end(), word) != commands.end();
  };
  std::string help_flag = "--help";
  if (std::string_view(args[1]) == "help") {
    if (args.size() > 3) {
      std::cerr << "scengen help: give one command (see 'scengen --help')\n";
      return kExitUsage;
    }
    if (args.size() == 3 && !is_command(args[2])) {
      return unknown_command(args[2], commands, std::cerr);
    }
    args.erase(args.begin() + 1);
    args.push_back(help_flag.data());
  } else if (args[1][0] != '-' && !is_command(args[1])) {
    return unknown_command(args[1], commands, std::cerr);
  }

  try {
    app.parse(static_cast<int>(args.size()), args.data());
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
