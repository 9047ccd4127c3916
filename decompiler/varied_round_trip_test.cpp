// A hundred varied scenarios, tidy and piled, from 1 km to the longest route: each compiled,
// decompiled and verified, the decompiler's own comparison saying whether the texts give the
// same files back.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "bench/scenario_generator.h"
#include "compiler/compilation.h"
#include "compiler/compile.h"
#include "compiler/output_decoding.h"
#include "compiler/output_files.h"
#include "decompiler/decompile.h"

namespace scengen {
namespace {

// The files of a compile as the decompiler reads them back from their bytes; nothing when the
// compile recorded an error.
std::optional<CompiledFiles> compile_to_files(const GeneratedScenario& scenario, bool with_plan,
                                              std::string& problem) {
  Compilation c;
  c.RouteId = kGeneratedRouteId;
  c.TrainNumber = kGeneratedTrainNumber;
  MemoryTexts texts(scenario.line_text, scenario.train_text);
  const CompileOutcome outcome = compile_scenario(c, texts, with_plan ? 1 : 0);
  if (outcome.end != CompileEnd::Sealed || c.StatusCode != 0) {
    problem = "the generated texts compile with code " + std::to_string(c.StatusCode) + " at " +
              std::to_string(c.StatusPosition);
    return std::nullopt;
  }
  CompiledFiles files;
  files.cells = *decode_track_cells(encode_track_cells(c.TrackCells)).value;
  files.table = *decode_scenario_table(encode_scenario_table(c.ScenarioTable).value_or("")).value;
  if (with_plan) files.plan = encode_route_plan(c.TrackPlan);
  return files;
}

// The route length of the n-th scenario (0 to 99): most short, a few long, the longest last.
int32_t route_length(int n) {
  if (n < 70) return 1000 + n * 2719 % 381 * 50;        // 1000 to 20000 m
  if (n < 92) return 20000 + n * 7919 % 3601 * 50;      // to 200000 m
  if (n < 99) return 200000 + n * 104729 % 16001 * 50;  // to 1000000 m
  return kLongestVariedRoute;
}

const char* layout_name(VariedLayout layout) {
  switch (layout) {
    case VariedLayout::Tidy:
      return "tidy";
    case VariedLayout::Piled:
      return "piled";
    case VariedLayout::AllBoardTexts:
      return "81 board texts";
  }
  return "";
}

// What went wrong with one compile of one scenario: "" when it round-trips.
std::string round_trip_problem(const GeneratedScenario& scenario, bool with_plan) {
  std::string problem;
  const std::optional<CompiledFiles> files = compile_to_files(scenario, with_plan, problem);
  if (!files) return problem;
  const Decompilation d = decompile(*files, kGeneratedRouteId, kGeneratedTrainNumber);
  if (!d.exact()) {
    return d.differences.front() + " (first of " + std::to_string(d.differences.size()) + " lines)";
  }
  if (!d.notes.empty()) return "note: " + d.notes.front();
  return "";
}

// Seeds from 11 on: the odd ones tidy, the even ones piled or with every board-text slot filled.
// Routes up to 20 km compile with the plan, up to 5 km also without it.
TEST(VariedRoundTrip, HundredScenarios) {
  std::vector<std::string> failures;
  for (int n = 0; n < 100; ++n) {
    const uint32_t seed = static_cast<uint32_t>(11 + n);
    const int32_t length = route_length(n);
    const GeneratedScenario scenario = generate_varied_scenario(length, seed);
    std::vector<bool> plans;
    if (length <= 20000) plans.push_back(true);
    if (length <= 5000 || length > 20000) plans.push_back(false);
    for (const bool with_plan : plans) {
      const std::string problem = round_trip_problem(scenario, with_plan);
      if (problem.empty()) continue;
      failures.push_back("seed " + std::to_string(seed) + " (" + layout_name(varied_layout(seed)) +
                         "), " + std::to_string(length) + " m, " +
                         (with_plan ? "with plan" : "without plan") + ": " + problem);
    }
  }
  std::string listed;
  for (const std::string& failure : failures) listed += failure + "\n";
  EXPECT_TRUE(failures.empty()) << failures.size() << " round trips fail:\n" << listed;
}

}  // namespace
}  // namespace scengen
