#include "compiler/track_model.h"

#include <gtest/gtest.h>

#include "compiler/compilation.h"

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

TEST(TrackPlan, MarkedRunsReadAsDoubles) {
  TrackPlan plan;
  plan.create(10);
  for (int32_t p = 3; p <= 6; ++p) {
    TrackPlan::store_double(plan.slot_data(0) + p * TrackPlan::kSlotBytes, p + 0.5);
    TrackPlan::store_double(plan.slot_data(1) + p * TrackPlan::kSlotBytes, -p - 0.5);
  }
  plan.mark_doubles(3, 6);
  EXPECT_EQ(plan.tag(2, 0), PlanTag::Empty);
  EXPECT_EQ(plan.value(6, 0), 6.5);
  EXPECT_EQ(plan.value(3, 1), -3.5);
  EXPECT_EQ(plan.tag(7, 1), PlanTag::Empty);
}

}  // namespace
}  // namespace scengen
