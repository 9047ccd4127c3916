#include "compiler/track_model.h"

#include <gtest/gtest.h>

#include <vector>

#include "compiler/compilation.h"
#include "testing/models.h"

namespace scengen {
namespace {

TEST(TrackPlan, EveryElementKeepsItsKindAndValue) {
  TrackPlan plan;
  EXPECT_FALSE(plan.exists());
  plan.create(79000);
  EXPECT_TRUE(plan.exists());
  EXPECT_EQ(plan.last_point(), 79000);
  EXPECT_EQ(plan.tag(79000, 1), PlanTag::Empty);
  EXPECT_EQ(plan.value(79000, 1), 0.0);

  plan.set_integer(1, 1, -7);
  plan.set_double(2, 0, 0.003);
  plan.set_double(3, 1, 12.5);
  plan.set_integer(3, 1, 4);  // an element may change its kind
  EXPECT_EQ(plan.tag(1, 1), PlanTag::Integer);
  EXPECT_EQ(plan.value(1, 1), -7.0);
  EXPECT_EQ(plan.tag(1, 0), PlanTag::Empty);
  EXPECT_EQ(plan.tag(2, 0), PlanTag::Double);
  EXPECT_EQ(plan.value(2, 0), 0.003);
  EXPECT_EQ(plan.tag(2, 1), PlanTag::Empty);
  EXPECT_EQ(plan.tag(3, 1), PlanTag::Integer);
  EXPECT_EQ(plan.value(3, 1), 4.0);
}

TEST(TrackPlan, CopiesAreIndependentAndCreatingAgainEmptiesThePlan) {
  Compilation c;
  c.TrackPlan.create(1007000);  // the longest route's plan
  c.TrackPlan.set_double(1006998, 0, 1.5);
  const Compilation copy = c;
  c.TrackPlan.set_double(1006998, 0, 2.5);
  EXPECT_EQ(copy.TrackPlan.value(1006998, 0), 1.5);
  EXPECT_EQ(c.TrackPlan.value(1006998, 0), 2.5);

  c.TrackPlan.create(100);
  EXPECT_EQ(c.TrackPlan.last_point(), 100);
  EXPECT_EQ(c.TrackPlan.tag(99, 0), PlanTag::Empty);
  EXPECT_EQ(copy.TrackPlan.last_point(), 1007000);
}

// One change to a plan: an element set, or a walk over points first to last.
struct PlanStep {
  enum Kind { Integer, Double, Walk } kind;
  int32_t point_or_first;
  int coordinate_or_last;
  double value_or_k;
};

void apply(TrackPlan& plan, const PlanStep& step) {
  switch (step.kind) {
    case PlanStep::Integer:
      plan.set_integer(step.point_or_first, step.coordinate_or_last,
                       static_cast<int16_t>(step.value_or_k));
      break;
    case PlanStep::Double:
      plan.set_double(step.point_or_first, step.coordinate_or_last, step.value_or_k);
      break;
    case PlanStep::Walk:
      plan.extend(step.point_or_first, step.coordinate_or_last, step.value_or_k);
      break;
  }
}

// The plan records the walks and computes them when it is scanned; the same changes made to a
// plan held element by element from the start give the same elements, however they come.
TEST(TrackPlan, RecordedWalksGiveTheElementsOfComputedOnes) {
  using S = PlanStep;
  const std::vector<S> start = {
      {S::Integer, 0, 0, 0}, {S::Integer, 0, 1, 0}, {S::Integer, 1, 0, 0}, {S::Integer, 1, 1, 1}};
  struct Case {
    const char* name;
    std::vector<PlanStep> steps;
  };
  const auto with_start = [&](std::vector<S> steps) {
    steps.insert(steps.begin(), start.begin(), start.end());
    return steps;
  };
  const Case cases[] = {
      {"walks one after the other, straight and turning",
       with_start({{S::Walk, 2, 1000, 0.0},
                   {S::Walk, 1001, 1300, 0.003},
                   {S::Walk, 1301, 2000, 0.003},
                   {S::Walk, 2001, 4997, -0.0004}})},
      {"an element set inside a walk after it",
       with_start(
           {{S::Walk, 2, 3000, 0.001}, {S::Double, 1500, 0, 7.5}, {S::Walk, 3001, 4000, 0.0}})},
      {"a walk that does not go on where the last one ended",
       with_start({{S::Walk, 2, 100, 0.002}, {S::Walk, 200, 300, 0.0}})},
      {"a walk from the middle of an empty plan", {{S::Walk, 50, 2000, 0.001}}},
      {"elements set before the walks, inside and beyond them",
       with_start({{S::Double, 10, 0, 3.5},
                   {S::Integer, 4990, 1, -4},
                   {S::Double, 4998, 1, 0.25},
                   {S::Walk, 2, 4000, 0.0002}})},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    TrackPlan recorded, computed;
    recorded.create(5000);
    computed.create(5000);
    computed.value(0, 0);  // held element by element from here on
    for (const PlanStep& step : test.steps) {
      apply(recorded, step);
      apply(computed, step);
    }
    for (int coordinate = 0; coordinate < 2; ++coordinate) {
      const PlanTagCounts a = recorded.count_tags(coordinate), b = computed.count_tags(coordinate);
      EXPECT_EQ(a.empty, b.empty);
      EXPECT_EQ(a.integers, b.integers);
      EXPECT_EQ(a.doubles, b.doubles);
    }
    // Scanned as recorded, then each element after the plan filled itself in.
    std::vector<double> scanned[2];
    std::vector<uint8_t> scanned_tags[2];
    recorded.scan([&](const PlanChunk& run) {
      for (int coordinate = 0; coordinate < 2; ++coordinate) {
        for (int32_t i = 0; i < run.count; ++i) {
          const uint8_t tag = run.tags[coordinate] == nullptr
                                  ? static_cast<uint8_t>(PlanTag::Double)
                                  : run.tags[coordinate][i];
          scanned_tags[coordinate].push_back(tag);
          scanned[coordinate].push_back(run.values[coordinate][i]);
        }
      }
    });
    for (int coordinate = 0; coordinate < 2; ++coordinate) {
      ASSERT_EQ(scanned[coordinate].size(), 5001u);
      for (int32_t p = 0; p <= 5000; ++p) {
        const PlanTag tag = computed.tag(p, coordinate);
        ASSERT_EQ(static_cast<PlanTag>(scanned_tags[coordinate][p]), tag) << p;
        ASSERT_EQ(recorded.tag(p, coordinate), tag) << p;
        if (tag == PlanTag::Empty) continue;
        ASSERT_EQ(scanned[coordinate][p], computed.value(p, coordinate)) << p;
        ASSERT_EQ(recorded.value(p, coordinate), computed.value(p, coordinate)) << p;
      }
    }
  }
}

TEST(TrackPlan, AStraightWalkRepeatsTheStepAndATurnBendsIt) {
  TrackPlan plan;
  testing::start_plan(plan, 20);
  plan.extend(2, 10, 0.0);
  plan.extend(11, 11, 0.5);
  EXPECT_EQ(plan.value(10, 1), 10.0);
  EXPECT_EQ(plan.value(10, 0), 0.0);
  // Step (0, 1) turned by k = 0.5: (0 + 0.5 * 1, 1 - 0.5 * 0).
  EXPECT_EQ(plan.value(11, 0), 0.5);
  EXPECT_EQ(plan.value(11, 1), 11.0);
  EXPECT_EQ(plan.tag(12, 0), PlanTag::Empty);
}

}  // namespace
}  // namespace scengen
