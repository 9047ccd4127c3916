// scengen check: compiles an author's texts in memory and tells what is wrong with them.
#include <ostream>

#include "cli/command_files.h"
#include "cli/command_table.h"
#include "cli/diagnostics.h"
#include "cli/report_options.h"
#include "compiler/compile.h"
#include "run/exit_status.h"
#include "run/printable_text.h"
#include "run/scenario_files.h"

namespace scengen {
namespace {

constexpr const char* kCheckFooter =
    R"(Shows the error the compile records, if any, where it was met:
  Ponte_Alto_linea.txt:37:1: error 15: a position lies beyond the track (at 78950 m)
    pendenza,  78950,   2
    ^
    note: the compile stops reading the line text here; the lines below are not compiled
then every further error of both texts, found by reading on after the stop for the diagnostics
alone (each noted as found after the compile stopped; with --json all in 'errors'), and
warnings for what the compile accepts but is almost surely a mistake: a field that matches no
record, records of one series out of order, a number field with characters after its digits, a
position that is not a multiple of 50 where the cells round it, a feature beyond the route's
end. Each line ends with the 'scengen explain' topic that tells more, when there is one. At most
--max-warnings warnings are shown (then one line says how many more; with --json a count). Exit
status 1 on an error, or on a warning with --strict; warnings alone leave it 0. Nothing is
written. Texts saved as UTF-8 are read with --encoding utf-8, or with --encoding auto, which
reads each text by itself and says how; a character that has no byte in Windows-1252 is then an
error at its line and column (with --json, status_code 1252). Exit status 2: the command line
is wrong, or a text's name holds a character that has no byte in Windows-1252; 4: a text cannot
be read.

Examples:
  scengen check Ponte_Alto_linea.txt Ponte_Alto_2101-.txt
  scengen check Ponte_Alto_linea.txt Ponte_Alto_2101-.txt --json
  scengen check Ponte_Alto_linea.txt Ponte_Alto_2101-.txt --encoding utf-8 --strict
  scengen check Ponte_Alto_linea.txt Ponte_Alto_2101-.txt --max-warnings 500)";

// The route and train from the texts' names, in the compile's code page; false when one cannot be.
bool identity_from_names(const AuthorTexts& texts, Compilation& c, Console& console) {
  const std::string route = route_from_line_text(texts.line_path).value_or("");
  const std::string train = train_from_train_text(texts.train_path, route).value_or("");
  auto route_bytes =
      compiled_name("check", "route", route, printable_path(texts.line_path), console);
  if (!route_bytes) return false;
  auto train_bytes =
      compiled_name("check", "train", train, printable_path(texts.train_path), console);
  if (!train_bytes) return false;
  c.RouteId = std::move(*route_bytes);
  c.TrainNumber = std::move(*train_bytes);
  return true;
}

}  // namespace

int check_texts(const CheckOptions& o, Console& console) {
  auto texts = read_author_texts(system_files(), o.line_text, o.train_text, console);
  if (!texts) return kExitFileFailed;
  if (const auto failure = decode_author_texts(*texts, o.encoding)) {
    report_encoding_failure(*failure, *texts, o.json, "", console);
    return kExitCompileError;
  }
  if (!o.json) print_encodings(*texts, console.err);

  Compilation c;
  // The identity only names files and seeds the scenario codes; nothing is checked against it.
  if (!identity_from_names(*texts, c, console)) return kExitUsage;
  c.CollectWarnings = true;
  c.MaxWarnings = o.max_warnings;
  const CompileReport report = make_report(c, compile_author_texts(c, *texts, 1));

  if (o.json) {
    console.out << report_json(report, *texts);
  } else {
    print_diagnostics(report, *texts, console.err);
  }
  const bool refused = strict_failure(report, o.strict, console.err, o.json);
  // Nothing is written, so a compile that stopped early is an error like any other.
  return exit_status_of(/*stopped=*/false, report.failed() || refused ? 1 : 0);
}

void add_check_command(CLI::App& app, CommandContext& context) {
  const auto [command, o] = add_command(
      app, context,
      {"check", "Compile an author's texts in memory and report what is wrong.", kCheckFooter},
      check_texts);
  add_text_arguments(*command, o->line_text, o->train_text, /*required=*/true);
  command->add_flag("--json", o->json, "Report as JSON on standard output");
  add_encoding_option(*command, o->encoding);
  add_warning_options(*command, o->max_warnings, &o->strict);
}

}  // namespace scengen
