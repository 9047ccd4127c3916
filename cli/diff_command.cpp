// scengen diff: what changed between two scenarios, in the terms of the route.
#include <algorithm>
#include <cctype>
#include <memory>
#include <nlohmann/json.hpp>
#include <ostream>

#include "cli/command_files.h"
#include "cli/command_table.h"
#include "cli/compiled_files_reading.h"
#include "compiler/source_text.h"
#include "compiler/compile.h"
#include "compiler/output_decoding.h"
#include "compare/scenario_diff.h"
#include "scenario/compiled_files.h"
#include "run/exit_status.h"
#include "run/printable_text.h"
#include "run/scenario_files.h"

namespace scengen {
namespace {

using Json = nlohmann::ordered_json;

constexpr const char* kDiffFooter =
    R"(OLD and NEW are each a compiled scenario, named by its compiled track (ROUTE_TRAIN.dat: the
scenario table ROUTE_TRAIN.sim and the route plan ROUTE_linea.dat are found beside it, or given
with the options), or a line and a train description (two .txt files, compiled in memory).
The changes are printed grouped by what an author edits: route length, general settings,
gradients, curves, tunnels, boards, speed limits, adhesion, stations, signals, slow orders,
code points; each names its place in metres ("signal at 5200 m moved to 5250 m"). Curves are
compared only when both sides have a route plan: a track without one beside it gets one line
saying its curves are not compared (with --json, "plans" says "present", "absent" or "left out"
for each side, and "curves_compared" whether they were). The code points include those of code
180 that the compile places itself before and along slow orders: a slow order edited moves them
too.

Exit status 0 when the scenarios are the same, 1 when they differ (as diff and cmp), 4 when an
input cannot be read or is not a file of its kind (said as dump says it), a route plan that is
there but cannot be read (a folder, a loop of links, no permission) included, so that a script
can tell a difference from a file it could not compare. Status 2: the command line is wrong (or
a text's name holds a character that has no byte in Windows-1252); 3: a pair of texts compiled
no track.

Examples:
  scengen diff old/Veltrano_Quarnelo_58316.dat new/Veltrano_Quarnelo_58316.dat
  scengen diff Veltrano_Quarnelo_58316.dat Veltrano_Quarnelo_linea.txt Veltrano_Quarnelo_58316-.txt
  scengen diff A_linea.txt A_2101-.txt B_linea.txt B_2101-.txt --json
  scengen diff old.dat new.dat --old-table old.sim --new-table new.sim --no-plan)";

struct DiffOptions {
  std::vector<std::string> scenarios;  // OLD then NEW: a .dat each, or two .txt each
  std::optional<std::string> old_table, old_plan, new_table, new_plan;
  bool no_plan = false;
  bool json = false;
};

bool has_extension(const std::string& name, std::string_view extension) {
  if (name.size() <= extension.size()) return false;
  return std::equal(extension.begin(), extension.end(), name.end() - extension.size(),
                    [](char a, char b) {
                      return a == std::tolower(static_cast<unsigned char>(b));
                    });
}

// One side of the comparison: its files decoded, or its texts compiled.
struct Side {
  std::string label;  // how the reports name it
  // The route plan stays its file's bytes, walked only when the other side's plan is not the same
  // bytes: a plan is some 20 MB and most edits leave it as it was.
  CompiledFiles files;
  bool same_plan = false;
  PlanPresence plan = PlanPresence::Present;  // a compiled side's plan is its compile's
  std::unique_ptr<Compilation> compiled;

  // The side's files, taken out of it: a compiled side's as its compile would write them.
  CompiledFiles take_files() {
    if (compiled) return compiled_files(*compiled);
    if (same_plan) files.plan.reset();
    return std::move(files);
  }
};

// How reading a side ended: read, or the exit status to end with.
struct Reading {
  std::optional<Side> side;
  int status = kExitOk;
};

Reading read_compiled(const std::string& track_argument, const std::optional<std::string>& table,
                      const std::optional<std::string>& plan, bool no_plan, Console& console) {
  CompiledFilesReading read = read_compiled_files({track_argument, table, plan, no_plan}, console);
  // A file that is not of its kind cannot be compared either: status 1 would say "differ".
  if (!read.files) return {std::nullopt, kExitFileFailed};
  if (read.plan == PlanPresence::Absent) {
    console.err << "scengen diff: no route plan " << printable_path(read.plan_path)
                << ": the curves of " << printable_text(track_argument) << " are not compared\n";
  }
  Side side;
  side.label = track_argument;
  side.files = std::move(*read.files);
  side.plan = read.plan;
  return {std::move(side), kExitOk};
}

Reading compile_pair(const std::string& line_text, const std::string& train_text, bool no_plan,
                     Console& console) {
  const auto texts = read_author_texts(system_files(), line_text, train_text, console);
  if (!texts) return {std::nullopt, kExitFileFailed};
  Side side;
  side.label = line_text + " " + train_text;
  if (no_plan) side.plan = PlanPresence::LeftOut;
  side.compiled = std::make_unique<Compilation>();
  Compilation& c = *side.compiled;
  const std::string route = route_from_line_text(texts->line_path).value_or("");
  const std::string train = train_from_train_text(texts->train_path, route).value_or("");
  // The names seed the scenario codes as the compile's code page holds them.
  auto route_bytes =
      compiled_name("diff", "route", route, printable_path(texts->line_path), console);
  auto train_bytes = route_bytes ? compiled_name("diff", "train", train,
                                                 printable_path(texts->train_path), console)
                                 : std::nullopt;
  if (!train_bytes) return {std::nullopt, kExitUsage};
  c.RouteId = std::move(*route_bytes);
  c.TrainNumber = std::move(*train_bytes);
  MemoryTexts source(texts->line, texts->train);
  const CompileOutcome outcome = compile_scenario(c, source, no_plan ? 0 : 1);
  if (outcome.end == CompileEnd::NoTrack) {
    console.err << "scengen diff: " << side.label << ": no track compiled (error " << c.StatusCode
                << "); see 'scengen check'\n";
    return {std::nullopt, kExitStopped};
  }
  if (c.StatusCode != 0) {
    // The model is what the simulator would get; compare it, but say it is not clean.
    console.err << "scengen diff: " << side.label << ": compile error " << c.StatusCode
                << " (see 'scengen check'); comparing what was compiled\n";
  }
  Reading r;
  r.side = std::move(side);
  return r;
}

// The scenarios named by the arguments, in order: a .dat alone, or two .txt in a row.
std::optional<std::vector<std::vector<std::string>>> split_scenarios(
    const std::vector<std::string>& arguments, Console& console) {
  std::vector<std::vector<std::string>> scenarios;
  for (size_t i = 0; i < arguments.size(); ++i) {
    if (has_extension(arguments[i], ".txt")) {
      if (i + 1 >= arguments.size() || !has_extension(arguments[i + 1], ".txt")) {
        console.err << "scengen diff: " << printable_text(arguments[i])
                    << " needs its train description (a second .txt) after it\n";
        return std::nullopt;
      }
      scenarios.push_back({arguments[i], arguments[i + 1]});
      ++i;
    } else if (has_extension(arguments[i], ".dat")) {
      scenarios.push_back({arguments[i]});
    } else {
      console.err << "scengen diff: " << printable_text(arguments[i])
                  << " is neither a compiled track (.dat) nor a description text (.txt)\n";
      return std::nullopt;
    }
  }
  if (scenarios.size() != 2) {
    console.err << "scengen diff: give two scenarios, OLD and NEW, not " << scenarios.size()
                << " (see 'scengen diff --help')\n";
    return std::nullopt;
  }
  return scenarios;
}

Reading read_side(const std::vector<std::string>& names, const std::optional<std::string>& table,
                  const std::optional<std::string>& plan, bool no_plan, Console& console) {
  if (names.size() == 2) return compile_pair(names[0], names[1], no_plan, console);
  return read_compiled(names[0], table, plan, no_plan, console);
}

// How the JSON report says what became of a side's route plan (an unreadable one ends the diff).
const char* plan_word(PlanPresence plan) {
  if (plan == PlanPresence::Absent) return "absent";
  if (plan == PlanPresence::LeftOut) return "left out";
  return "present";
}

// One change as the JSON report lists it.
Json change_json(const ScenarioChange& c) {
  return {{"group", group_key(c.group)},
          {"change", change_kind_name(c.kind)},
          {"from_m", c.from_m},
          {"to_m", c.to_m},
          {"old", utf8_from_windows_1252(c.old_value)},
          {"new", utf8_from_windows_1252(c.new_value)},
          {"text", utf8_from_windows_1252(c.text)}};
}

}  // namespace

/// Compares two scenarios and prints their differences; the status says whether there are any.
int diff_scenario_files(const DiffOptions& o, Console& console) {
  const auto scenarios = split_scenarios(o.scenarios, console);
  if (!scenarios) return kExitUsage;
  const bool texts[2] = {(*scenarios)[0].size() == 2, (*scenarios)[1].size() == 2};
  if ((texts[0] && (o.old_table || o.old_plan)) || (texts[1] && (o.new_table || o.new_plan))) {
    console.err << "scengen diff: --old-table, --old-plan, --new-table and --new-plan go with a "
                   "compiled scenario, not with texts\n";
    return kExitUsage;
  }
  Reading old_side = read_side((*scenarios)[0], o.old_table, o.old_plan, o.no_plan, console);
  if (!old_side.side) return old_side.status;
  Reading new_side = read_side((*scenarios)[1], o.new_table, o.new_plan, o.no_plan, console);
  if (!new_side.side) return new_side.status;

  Side& olds = *old_side.side;
  Side& news = *new_side.side;
  const Json plans = {{"old", plan_word(olds.plan)}, {"new", plan_word(news.plan)}};
  // Told from the sides, not the models: identical plans are not even walked.
  const bool curves_compared =
      olds.plan == PlanPresence::Present && news.plan == PlanPresence::Present;
  olds.same_plan = news.same_plan =
      olds.files.plan && news.files.plan && *olds.files.plan == *news.files.plan;
  const CompiledFiles old_files = olds.take_files();
  const ScenarioModel old_model = read_scenario(old_files);
  const CompiledFiles new_files = news.take_files();
  const ScenarioModel new_model = read_scenario(new_files);
  std::optional<PlanStretch> plan_points;
  if (old_model.plan.present && new_model.plan.present) {
    plan_points = differing_plan_points(*old_files.plan, *new_files.plan);
  }

  const std::vector<ScenarioChange> changes = diff_scenarios(old_model, new_model, plan_points);

  if (o.json) {
    Json list = Json::array();
    for (const ScenarioChange& c : changes) list.push_back(change_json(c));
    Json report = {{"old", old_side.side->label},
                   {"new", new_side.side->label},
                   {"plans", plans},
                   {"curves_compared", curves_compared},
                   {"identical", changes.empty()},
                   {"changes", std::move(list)}};
    console.out << report.dump(2) << '\n';
  } else {
    const char* group = nullptr;
    for (const ScenarioChange& c : changes) {
      if (group != group_name(c.group)) {
        group = group_name(c.group);
        console.out << group << ":\n";
      }
      console.out << "  " << printable_text(utf8_from_windows_1252(c.text)) << '\n';
    }
  }
  return changes.empty() ? kExitOk : kExitCompileError;
}

void add_diff_command(CLI::App& app, CommandContext& context) {
  const auto [command, o] = add_command(
      app, context,
      {"diff", "What changed between two scenarios, in metres, features and stations.",
       kDiffFooter},
      diff_scenario_files);
  command->add_option("SCENARIOS", o->scenarios, "OLD then NEW: a .dat each, or two .txt each")
      ->required()
      ->expected(2, 4)
      ->type_name("FILE");
  command->add_option("--old-table", o->old_table, "OLD's scenario table (default: beside it)")
      ->type_name("FILE");
  command->add_option("--old-plan", o->old_plan, "OLD's route plan (default: beside it)")
      ->type_name("FILE");
  command->add_option("--new-table", o->new_table, "NEW's scenario table (default: beside it)")
      ->type_name("FILE");
  command->add_option("--new-plan", o->new_plan, "NEW's route plan (default: beside it)")
      ->type_name("FILE");
  command->add_flag("--no-plan", o->no_plan,
                    "Leave the route plans out: no curves compared, texts compiled faster");
  command->add_flag("--json", o->json, "Report as JSON on standard output");
}

}  // namespace scengen
