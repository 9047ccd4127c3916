// scengen render: compiles a scenario in memory and draws its route map, its route profile and
// its page.
#include <algorithm>
#include <ostream>
#include <vector>

#include "cli/command_files.h"
#include "cli/command_table.h"
#include "cli/diagnostics.h"
#include "cli/positions.h"
#include "cli/report_options.h"
#include "compiler/compile.h"
#include "compiler/error_codes.h"
#include "render/route_view.h"
#include "render/scenario_pictures.h"
#include "run/exit_status.h"
#include "run/printable_text.h"
#include "run/scenario_files.h"
#include "texts/line_description.h"
#include "texts/train_description.h"

namespace scengen {
namespace {

constexpr const char* kRenderFooter =
    R"(Compiles the scenario in memory and draws it from the compiled model: ROUTE_map.svg (the
ground plan), ROUTE_TRAIN_profile.svg (everything along the line) and ROUTE_TRAIN.html (both
pictures and the crew documents in one page). With no texts, the built-in scenario. The route
and the train are taken as by 'compile'; the texts are only read. Errors and warnings are
reported as by 'check' (--encoding and --max-warnings as there). The pictures of a compile that
failed carry a red banner naming the error; they show the model as far as it was built.

--from and --to draw one stretch of a long route: the map and the profile show only it, at a
scale of their own, with only the stations, signals and other features in it. They take a route
position as every command does: a plain number or one with m is metres (30000, 30000m), one
with km kilometres (30km, 12.5km); either may be left out for the route's start or end. The
page and the file names stay the same. The folder of --out is made when it is missing; the last
line says how many files were written there (--quiet leaves it out).

Exit status: 0 drawn, no error; 1 drawn with a compile error; 2 the command line or a route or
train name is wrong; 3 nothing drawn: no track compiled, or a text that is not in its encoding;
4 a text cannot be read or a file cannot be written.

Examples:
  scengen render --out pictures
  scengen render --from 30km --to 40km --out pictures
  scengen render Ponte_Alto_linea.txt Ponte_Alto_2101-.txt --out pictures
  scengen render Ponte_Alto_linea.txt Ponte_Alto_2101-.txt --encoding utf-8)";

// What is drawn: the two texts and the crew documents of one scenario.
struct RenderInput {
  AuthorTexts texts;
  std::vector<PageDocument> documents;
};

// The built-in texts and documents are made in memory, as the run would write them.
RenderInput built_in_input(Compilation& c) {
  c.RouteId = kBuiltInRouteId;
  c.TrainNumber = kBuiltInTrainNumber;
  RenderInput input;
  input.texts.line_path = line_text_file_name(c.RouteId);
  input.texts.train_path = train_text_file_name(c.RouteId, c.TrainNumber);
  input.texts.line = emit_line_list(line_description_lines());
  input.texts.train = emit_line_list(train_description_lines());
  for (const CrewDocument& d : kCrewDocuments) {
    input.documents.push_back({d.heading, crew_document_file_name(c.RouteId, c.TrainNumber, d),
                               emit_line_list(d.built_in())});
  }
  return input;
}

// The identity from --route and --train, else from the texts' names (both names must fit).
bool author_identity(const RenderOptions& o, Compilation& c, Console& console) {
  const auto named_route = route_from_line_text(argument_path(o.line_text));
  const auto named_train =
      named_route ? train_from_train_text(argument_path(o.train_text), *named_route) : std::nullopt;
  c.RouteId = o.route ? *o.route : named_train ? *named_route : "";
  c.TrainNumber = o.train ? *o.train : named_train.value_or("");
  if (c.RouteId.empty() || c.TrainNumber.empty()) {
    console.err << "scengen render: the texts are not named ROUTE_linea.txt and "
                   "ROUTE_TRAIN-.txt: give --route and --train\n";
    return false;
  }
  if (!usable_name("render", c.RouteId, console) || !usable_name("render", c.TrainNumber, console))
    return false;
  if (!fitting_names("render",
                     {route_map_file_name(c), route_profile_file_name(c), html_page_file_name(c)},
                     console))
    return false;
  // The compile holds the names in its code page; the files are named from them again.
  const std::string line_source = o.route ? "--route" : printable_path(argument_path(o.line_text));
  const std::string train_source =
      o.train ? "--train" : printable_path(argument_path(o.train_text));
  auto route = compiled_name("render", "route", c.RouteId, line_source, console);
  auto train = route ? compiled_name("render", "train", c.TrainNumber, train_source, console)
                     : std::nullopt;
  if (!train) return false;
  c.RouteId = std::move(*route);
  c.TrainNumber = std::move(*train);
  return true;
}

// An author's texts; the crew documents are those beside the train text, if any.
std::optional<RenderInput> author_input(const RenderOptions& o, Compilation& c, Console& console,
                                        int& status) {
  FileLayer& files = system_files();
  // The names are checked before anything is read.
  status = kExitUsage;
  if (!author_identity(o, c, console)) return std::nullopt;
  status = kExitFileFailed;
  auto texts = read_author_texts(files, o.line_text, o.train_text, console);
  if (!texts) return std::nullopt;
  if (const auto failure = decode_author_texts(*texts, o.encoding)) {
    report_encoding_failure(*failure, *texts, /*json=*/false, "nothing was drawn", console);
    status = kExitStopped;
    return std::nullopt;
  }
  print_encodings(*texts, console.err);
  RenderInput input{std::move(*texts), {}};
  for (const CrewDocument& d : kCrewDocuments) {
    const std::string name = crew_document_file_name(c.RouteId, c.TrainNumber, d);
    FileRead read =
        files.read_whole_capped(input.texts.train_path.parent_path() / name, kMaxTextBytes);
    if (read.status == ReadStatus::Ok) input.documents.push_back({d.heading, name, read.bytes});
  }
  return input;
}

// "compile error 15 at 78950 m" for the pictures of a failed compile; empty for a good one.
std::string failure_banner(const CompileReport& report) {
  if (report.status_code == 0) return {};
  std::string banner = "compile error " + std::to_string(report.status_code);
  const ErrorCodeInfo* info = find_error_code(report.status_code);
  if (info != nullptr && info->has_position) {
    banner += " at " + std::to_string(report.status_position) + " m";
  }
  return banner;
}

// Writes the three files, then one line for them; false when one fails.
bool write_pictures(const Compilation& c, const ScenarioPictures& pictures,
                    const RenderOptions& o, Console& console) {
  const std::filesystem::path folder = o.out ? argument_path(*o.out) : ".";
  if (!make_output_folder(folder, console, o.quiet)) return false;
  try {
    const auto lock = lock_output_folder(folder, console.err);
    for (const auto& [name, bytes] : {std::pair{route_map_file_name(c), &pictures.map},
                                      std::pair{route_profile_file_name(c), &pictures.profile},
                                      std::pair{html_page_file_name(c), &pictures.page}}) {
      const auto path = scenario_file_path(folder, name);
      system_files().write_replacing(path, *bytes);
    }
  } catch (const FileError& error) {
    report_write_failure(error, console);
    return false;
  }
  report_files_written(folder, 3, console, o.quiet);
  return true;
}

// The stretch --from and --to ask for within the compiled route, or a usage error reported.
std::optional<Stretch> stretch_of(std::optional<int32_t> from, std::optional<int32_t> to,
                                  const Compilation& c, Console& console, bool& wrong) {
  wrong = false;
  if (!from && !to) return std::nullopt;
  const RouteView view = view_route(read_scenario(c));
  const int64_t first = from.value_or(0);
  const int64_t last = to ? int64_t{*to} : int64_t{view.route_length};
  if (first >= last || first >= view.route_length) {
    console.err << "scengen render: the stretch from " << first << " to " << last
                << " m is empty or lies beyond the route's end (" << view.route_length << " m)\n";
    wrong = true;
    return std::nullopt;
  }
  return Stretch{static_cast<int32_t>(first),
                 static_cast<int32_t>(std::min<int64_t>(last, view.route_length))};
}

}  // namespace

int render_scenario(const RenderOptions& o, Console& console) {
  if (o.line_text.empty() != o.train_text.empty()) {
    console.err << "scengen render: give both description texts, or neither for the built-in "
                   "scenario\n";
    return kExitUsage;
  }
  std::optional<int32_t> from, to;
  if (!read_position_option("render", "--from", o.from, from, console) ||
      !read_position_option("render", "--to", o.to, to, console)) {
    return kExitUsage;
  }
  Compilation c;
  int status = kExitOk;
  const std::optional<RenderInput> input =
      o.line_text.empty() ? built_in_input(c) : author_input(o, c, console, status);
  if (!input) return status;

  c.CollectWarnings = true;  // warnings change no byte of the model
  c.MaxWarnings = o.max_warnings;
  const CompileOutcome outcome = compile_author_texts(c, input->texts, 1);
  // The same report as check's, before anything is drawn.
  const CompileReport report = make_report(c, outcome);
  print_diagnostics(report, input->texts, console.err);
  if (outcome.end == CompileEnd::NoTrack) {
    console.err << "scengen: nothing to draw\n";
    return exit_status_of(/*stopped=*/true, c.StatusCode);
  }
  // A seal error stops no drawing: the pictures show the model as far as it was built.
  const int32_t code = report.status_code;
  const std::string words = code == 0 ? "Compiled without errors."
                                      : "Compiled with " + describe_error(code, c.StatusPosition) +
                                            "; the pictures show the model as far as it was built.";
  bool wrong = false;
  const std::optional<Stretch> stretch = stretch_of(from, to, c, console, wrong);
  if (wrong) return kExitUsage;
  if (!write_pictures(c, draw_scenario(c, words, input->documents, stretch, failure_banner(report)),
                      o, console)) {
    return kExitFileFailed;
  }
  return exit_status_of(/*stopped=*/false, code);
}

void add_render_command(CLI::App& app, CommandContext& context) {
  const auto [command, o] = add_command(
      app, context,
      {"render", "Pictures of a scenario: route map, route profile, page.", kRenderFooter},
      render_scenario);
  add_text_arguments(*command, o->line_text, o->train_text, /*required=*/false);
  add_out_option(*command, o->out, "the current one");
  add_identity_options(*command, o->route, o->train);
  command->add_option("--from", o->from, "Draw the route from this route position on (m or km)")
      ->type_name("METRES");
  command->add_option("--to", o->to, "Draw the route up to this route position (m or km)")
      ->type_name("METRES");
  add_encoding_option(*command, o->encoding);
  add_warning_options(*command, o->max_warnings, /*strict=*/nullptr);
  add_quiet_option(*command, o->quiet);
}

}  // namespace scengen
