// scengen compile: an author's texts into the three binary files.
#include <ostream>

#include "cli/command_files.h"
#include "cli/commands.h"
#include "cli/diagnostics.h"
#include "cli/scenario_names.h"
#include "compiler/compile.h"
#include "platform/platform.h"
#include "run/exit_status.h"

namespace scengen {
namespace {

struct Identity {
  std::string route;
  std::string train;
};

bool usable(const std::string& name, Console& console) {
  if (names_a_file(name)) return true;
  console.err << "scengen compile: '" << name << "' cannot be part of a file name\n";
  return false;
}

std::optional<Identity> scenario_identity(const CompileOptions& o, Console& console) {
  Identity id;
  if (o.route) {
    id.route = *o.route;
  } else if (auto route = route_from_line_text(o.line_text)) {
    id.route = *route;
  } else {
    console.err << "scengen compile: cannot tell the route from the name "
                << display_path(argument_path(o.line_text))
                << " (not ROUTE_linea.txt): give --route\n";
    return std::nullopt;
  }
  if (!usable(id.route, console)) return std::nullopt;
  if (o.train) {
    id.train = *o.train;
  } else if (auto train = train_from_train_text(o.train_text, id.route)) {
    id.train = *train;
  } else {
    console.err << "scengen compile: cannot tell the train from the name "
                << display_path(argument_path(o.train_text)) << " (not " << id.route
                << "_TRAIN-.txt): give --train\n";
    return std::nullopt;
  }
  if (!usable(id.train, console)) return std::nullopt;
  return id;
}

}  // namespace

int compile_texts(const CompileOptions& o, Console& console) {
  const auto id = scenario_identity(o, console);
  if (!id) return kExitUsage;
  FileLayer& files = system_files();
  const auto texts = read_author_texts(files, o.line_text, o.train_text, console);
  if (!texts) return kExitFileFailed;

  Compilation c;
  c.RouteId = id->route;
  c.TrainNumber = id->train;
  c.CollectWarnings = true;
  MemoryTexts source(texts->line, texts->train);  // the author's files are never touched
  const CompileOutcome outcome = compile_scenario(c, source, o.no_plan ? 0 : 1);
  if (outcome.end == CompileEnd::SealError && console.window != nullptr && !o.json) {
    // The window program shows the seal's errors as the built-in run does; OK ends it.
    console.window->message_box(" Errore n. " + std::to_string(outcome.seal_code));
    return kExitStopped;
  }
  CompileReport report = make_report(c, outcome);

  if (!report.stopped) {
    try {
      report.files_written = write_compiled_files(files, o.out, c);
    } catch (const FileError& error) {
      if (!o.json) print_diagnostics(report, *texts, console.err);
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
  if (report.stopped) return kExitStopped;
  return report.status_code != 0 ? kExitCompileError : kExitOk;
}

}  // namespace scengen
