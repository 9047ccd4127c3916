// scengen check: compiles an author's texts in memory and tells what is wrong with them.
#include <ostream>

#include "cli/command_files.h"
#include "cli/command_table.h"
#include "cli/diagnostics.h"
#include "compiler/compile.h"
#include "run/exit_status.h"
#include "run/scenario_files.h"

namespace scengen {
namespace {

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

}  // namespace

int check_texts(const CheckOptions& o, Console& console) {
  const auto texts = read_author_texts(system_files(), o.line_text, o.train_text, console);
  if (!texts) return kExitFileFailed;

  Compilation c;
  // The identity only names files and seeds the scenario codes; nothing is checked against it.
  c.RouteId = route_from_line_text(texts->line_path).value_or("");
  c.TrainNumber = train_from_train_text(texts->train_path, c.RouteId).value_or("");
  c.CollectWarnings = true;
  MemoryTexts source(texts->line, texts->train);
  const CompileReport report = make_report(c, compile_scenario(c, source, 1));

  if (o.json) {
    console.out << report_json(report, *texts);
  } else {
    print_diagnostics(report, *texts, console.err);
  }
  // Nothing is written, so a compile that stopped early is an error like any other.
  return exit_status_of(/*stopped=*/false, report.failed() ? 1 : 0);
}

void add_check_command(CLI::App& app, CommandContext& context) {
  const auto [command, o] = add_command(
      app, context,
      {"check", "Compile an author's texts in memory and report what is wrong.", kCheckFooter},
      check_texts);
  add_text_arguments(*command, o->line_text, o->train_text, /*required=*/true);
  command->add_flag("--json", o->json, "Report as JSON on standard output");
}

}  // namespace scengen
