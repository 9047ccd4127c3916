// scengen check: compiles an author's texts in memory and tells what is wrong with them.
#include <ostream>

#include "cli/command_files.h"
#include "cli/commands.h"
#include "cli/diagnostics.h"
#include "cli/scenario_names.h"
#include "compiler/compile.h"
#include "run/exit_status.h"

namespace scengen {

int check_texts(const CheckOptions& o, Console& console) {
  const auto texts = read_author_texts(system_files(), o.line_text, o.train_text, console);
  if (!texts) return kExitFileFailed;

  Compilation c;
  // The identity only names files and seeds the scenario codes; nothing is checked against it.
  c.RouteId = route_from_line_text(o.line_text).value_or("");
  c.TrainNumber = train_from_train_text(o.train_text, c.RouteId).value_or("");
  c.CollectWarnings = true;
  MemoryTexts source(texts->line, texts->train);
  const CompileReport report = make_report(c, compile_scenario(c, source, 1));

  if (o.json) {
    console.out << report_json(report, *texts);
  } else {
    print_diagnostics(report, *texts, console.err);
  }
  return report.failed() ? kExitCompileError : kExitOk;
}

}  // namespace scengen
