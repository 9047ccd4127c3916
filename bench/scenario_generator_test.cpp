#include "bench/scenario_generator.h"

#include <gtest/gtest.h>

#include <string>

#include "compiler/compile.h"
#include "compiler/output_files.h"

namespace scengen {
namespace {

int count_kind(const Compilation& c, uint8_t kind) {
  int n = 0;
  for (const TrackCell& cell : c.TrackCells) n += cell.Kind == kind;
  return n;
}

// Every length the bench uses compiles without an error and holds what the generator promises.
TEST(ScenarioGenerator, CompilesCleanlyAtEveryBenchLength) {
  for (const int32_t length : {100000, 300000, 1000000}) {
    SCOPED_TRACE(length);
    const GeneratedScenario scenario = generate_scenario(length);
    Compilation c;
    c.RouteId = kGeneratedRouteId;
    c.TrainNumber = kGeneratedTrainNumber;
    MemoryTexts texts(scenario.line_text, scenario.train_text);
    const CompileOutcome outcome = compile_scenario(c, texts, 1);
    ASSERT_EQ(outcome.end, CompileEnd::Sealed);
    ASSERT_EQ(c.StatusCode, 0);

    EXPECT_EQ(c.ScenarioTable[84].Num2, length);
    // One cell per 50 m up to 7000 m beyond the end, one plan point per metre.
    EXPECT_EQ(c.TrackCells.size(), static_cast<size_t>((length + 7000) / 50 + 1));
    EXPECT_EQ(c.TrackPlan.last_point(), length + 7000);
    EXPECT_EQ(c.TrackPlan.tag(length + 6998, 1), PlanTag::Double);

    EXPECT_EQ(c.TunnelCount, 80);
    // 78 stations fill slots 1 to 78; with no information board, slots 79 and 80 stay empty.
    EXPECT_EQ(count_kind(c, kStationMarker), 78);
    EXPECT_EQ(c.ScenarioTable[1].Text, "FERMATA 1");
    EXPECT_EQ(c.ScenarioTable[78].Text, "FERMATA 78");
    EXPECT_EQ(c.ScenarioTable[79].Text, "");
    EXPECT_EQ(c.ScenarioTable[80].Text, "");
    EXPECT_EQ(count_kind(c, kInformationBoard), 0);

    // A signal every 1500 m, a maximum-speed board every 700 m and a code point every 400 m, up to
    // 100 m before the end; the finishing pass adds no code point without slow orders.
    EXPECT_EQ(count_kind(c, kSignal), (length - 100) / 1500);
    EXPECT_EQ(count_kind(c, kSpeedBoard), (length - 100) / 700);
    EXPECT_EQ(count_kind(c, kCodePoint), (length - 100) / 400);
  }
}

TEST(ScenarioGenerator, MaximumRoutePlanFileIsAboutTwentyMegabytes) {
  const GeneratedScenario scenario = generate_scenario(kLongestGeneratedRoute);
  Compilation c;
  c.RouteId = kGeneratedRouteId;
  c.TrainNumber = kGeneratedTrainNumber;
  MemoryTexts texts(scenario.line_text, scenario.train_text);
  ASSERT_EQ(compile_scenario(c, texts, 1).end, CompileEnd::Sealed);
  // Per coordinate: points 0 and 1 as integers (4 bytes), 1006997 doubles (10 bytes), the last
  // two points empty (2 bytes).
  EXPECT_EQ(encode_route_plan(c.TrackPlan).size(), 2u * (2 * 4 + 1006997 * 10 + 2 * 2));
}

TEST(ScenarioGenerator, RefusesLengthsItCannotFurnish) {
  EXPECT_TRUE(is_generable_length(100000));
  EXPECT_TRUE(is_generable_length(1000000));
  EXPECT_FALSE(is_generable_length(99950));
  EXPECT_FALSE(is_generable_length(1000050));
  EXPECT_FALSE(is_generable_length(100025));
  EXPECT_THROW(generate_scenario(50000), std::invalid_argument);
}

}  // namespace
}  // namespace scengen
