#include "compiler/line_placement.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "compiler/field_reader.h"
#include "testing/models.h"

namespace scengen {
namespace {

using testing::with_track;

struct Triple {
  int32_t position, progressive, flag;
  bool operator==(const Triple&) const = default;
};

Triple slot_triple(const Compilation& c, int slot) {
  const ScenarioEntry& e = c.ScenarioTable[slot];
  return {e.Num1, e.Num2, e.Num3};
}

TEST(OrderReferences, OrdersTheReferences) {
  struct Case {
    const char* what;
    Triple tre, due, uno;         // slots 81, 82, 83 as the general section filled them
    Triple first, second, third;  // slots 81, 82, 83 afterwards
  };
  const Triple zero{0, 0, 0};
  const Case cases[] = {
      {"only uno, flag 1", zero, zero, {9550, 218300, 1}, {9550, 218400, 1}, zero, zero},
      {"3000, 9000, 5000",
       {3000, 103000, 0},
       {9000, 109000, 0},
       {5000, 105000, 0},
       {9000, 109000, 0},
       {5000, 105000, 0},
       {3000, 103000, 0}},
      {"tre largest, uno next",
       {9000, 1, 0},
       {3000, 2, 0},
       {5000, 3, 0},
       {9000, 1, 0},
       {5000, 3, 0},
       {3000, 2, 0}},
      {"tre largest, due next",
       {9000, 1, 0},
       {5000, 2, 0},
       {3000, 3, 0},
       {9000, 1, 0},
       {5000, 2, 0},
       {3000, 3, 0}},
      {"due largest, tre next",
       {5000, 1, 0},
       {9000, 2, 0},
       {3000, 3, 0},
       {9000, 2, 0},
       {5000, 1, 0},
       {3000, 3, 0}},
      {"uno largest, tre next",
       {5000, 1, 0},
       {3000, 2, 0},
       {9000, 3, 0},
       {9000, 3, 0},
       {5000, 1, 0},
       {3000, 2, 0}},
      {"uno largest, due next",
       {3000, 1, 0},
       {5000, 2, 0},
       {9000, 3, 0},
       {9000, 3, 0},
       {5000, 2, 0},
       {3000, 1, 0}},
      {"tie for the largest: all zeros",
       {9000, 1, 1},
       {9000, 2, 0},
       {5000, 3, 0},
       zero,
       zero,
       zero},
      {"tie for the largest with the third",
       {2000, 1, 0},
       {1000, 2, 0},
       {2000, 3, 0},
       zero,
       zero,
       zero},
      {"tie behind the largest: the later one first",
       {9000, 1, 0},
       {5000, 2, 0},
       {5000, 3, 0},
       {9000, 1, 0},
       {5000, 3, 0},
       {5000, 2, 0}},
      {"positions add up to 0: tre by progressive",
       {0, 7000, 1},
       zero,
       zero,
       {0, 7100, 1},
       zero,
       zero},
      {"positions add up to 0: the last positive wins",
       {0, 7000, 0},
       {0, 8000, 0},
       zero,
       {0, 8000, 0},
       {0, 7000, 0},
       zero},
      {"positions add up to 0: uno wins",
       {0, 7000, 0},
       {0, 8000, 0},
       {0, 9000, 0},
       {0, 9000, 0},
       {0, 8000, 0},
       {0, 7000, 0}},
      {"positions cancel out",
       {100, 500, 0},
       {-100, 0, 0},
       zero,
       {100, 500, 0},
       {-100, 0, 0},
       zero},
      {"no positive progressive: zeros, flags lost",
       {0, 0, 1},
       {0, -50, 1},
       zero,
       zero,
       zero,
       zero},
      {"every flag 1 adds 100",
       {3000, 100, 1},
       {2000, 200, 1},
       {1000, 300, 1},
       {3000, 200, 1},
       {2000, 300, 1},
       {1000, 400, 1}},
      {"a flag other than 1 adds nothing", {3000, 100, 2}, zero, zero, {3000, 100, 2}, zero, zero},
  };
  for (const Case& test : cases) {
    Compilation c;
    c.ScenarioTable[81].Num1 = test.tre.position;
    c.ScenarioTable[81].Num2 = test.tre.progressive;
    c.ScenarioTable[81].Num3 = test.tre.flag;
    c.ScenarioTable[82].Num1 = test.due.position;
    c.ScenarioTable[82].Num2 = test.due.progressive;
    c.ScenarioTable[82].Num3 = test.due.flag;
    c.ScenarioTable[83].Num1 = test.uno.position;
    c.ScenarioTable[83].Num2 = test.uno.progressive;
    c.ScenarioTable[83].Num3 = test.uno.flag;
    order_references(c);
    EXPECT_EQ(slot_triple(c, 81), test.first) << test.what;
    EXPECT_EQ(slot_triple(c, 82), test.second) << test.what;
    EXPECT_EQ(slot_triple(c, 83), test.third) << test.what;
  }
}

TEST(OrderReferences, AProgressiveThatCannotTakeTheHundredFails) {
  Compilation c;
  c.ScenarioTable[83] = ScenarioEntry{};
  c.ScenarioTable[83].Num1 = 50;
  c.ScenarioTable[83].Num2 = std::numeric_limits<int32_t>::max() - 99;
  c.ScenarioTable[83].Num3 = 1;
  EXPECT_THROW(order_references(c), ReadFailure);

  c.ScenarioTable[81].Num2 = std::numeric_limits<int32_t>::max() - 100;  // this one fits
  c.ScenarioTable[81].Num3 = 1;
  c.ScenarioTable[81].Num1 = 50;
  c.ScenarioTable[82] = ScenarioEntry{};
  c.ScenarioTable[83] = ScenarioEntry{};
  order_references(c);
  EXPECT_EQ(c.ScenarioTable[81].Num2, std::numeric_limits<int32_t>::max());
}

// A plan of `last_point` + 1 points whose first two are set as the reader sets them.
Compilation with_plan(int32_t last_point) {
  Compilation c;
  testing::start_plan(c.TrackPlan, last_point);
  return c;
}

TEST(PlanWalk, AClassSixCurveAtOneThousandMetres) {
  Compilation c = with_plan(3000);
  int32_t cursor = 2;
  ASSERT_TRUE(walk_plan(c, cursor, 1000, 0.0, true));
  ASSERT_TRUE(walk_plan(c, cursor, 1100, curvature_of_class(6), true));
  EXPECT_EQ(cursor, 1101);
  for (int32_t p = 2; p <= 1000; ++p) {
    ASSERT_EQ(c.TrackPlan.tag(p, 0), PlanTag::Double);
    ASSERT_EQ(c.TrackPlan.value(p, 0), 0.0);
    ASSERT_EQ(c.TrackPlan.value(p, 1), static_cast<double>(p));
  }
  EXPECT_EQ(c.TrackPlan.tag(1001, 0), PlanTag::Double);
  EXPECT_EQ(c.TrackPlan.tag(1001, 1), PlanTag::Double);
  EXPECT_EQ(c.TrackPlan.value(1001, 0), 0.003);
  EXPECT_EQ(c.TrackPlan.value(1001, 1), 1001.0);
  EXPECT_EQ(c.TrackPlan.tag(1101, 0), PlanTag::Empty);

  // Each curved step is the last one turned by atan(k) and lengthened by sqrt(1 + k^2).
  const double k = 0.003;
  const double step0 = c.TrackPlan.value(1100, 0) - c.TrackPlan.value(1099, 0);
  const double step1 = c.TrackPlan.value(1100, 1) - c.TrackPlan.value(1099, 1);
  EXPECT_NEAR(std::hypot(step0, step1), std::pow(1 + k * k, 100 / 2.0), 1e-9);
  EXPECT_NEAR(std::atan2(step0, step1), 100 * std::atan(k), 1e-9);
  EXPECT_GT(step0, 0.0);  // a right-hand curve turns towards positive coordinate 0
}

TEST(PlanWalk, ALeftCurveAndStraightAfterIt) {
  Compilation c = with_plan(100);
  int32_t cursor = 2;
  ASSERT_TRUE(walk_plan(c, cursor, 10, 0.0, true));
  ASSERT_TRUE(walk_plan(c, cursor, 11, -curvature_of_class(4), true));
  ASSERT_TRUE(walk_plan(c, cursor, 20, 0.0, true));
  EXPECT_EQ(c.TrackPlan.value(11, 0), -0.001);
  EXPECT_EQ(c.TrackPlan.value(11, 1), 11.0);
  // Straight on: the turned step is repeated as it is.
  EXPECT_DOUBLE_EQ(c.TrackPlan.value(20, 0), -0.001 * 10);
  EXPECT_DOUBLE_EQ(c.TrackPlan.value(20, 1), 20.0);
}

TEST(PlanWalk, CurvatureByClass) {
  const double expected[] = {0.0, 0.0001, 0.0002, 0.0004, 0.001, 0.002, 0.003, 0.0};
  for (int curve_class = 0; curve_class <= 7; ++curve_class)
    EXPECT_EQ(curvature_of_class(curve_class), expected[curve_class]) << curve_class;
}

TEST(PlanWalk, AWalkBehindTheCursorAddsNothing) {
  Compilation c = with_plan(100);
  int32_t cursor = 50;
  EXPECT_TRUE(walk_plan(c, cursor, 40, 0.003, true));
  EXPECT_EQ(cursor, 50);
  EXPECT_EQ(c.TrackPlan.tag(50, 0), PlanTag::Empty);
}

TEST(PlanWalk, StopsOncePastTheLimit) {
  Compilation c = with_plan(kPlanLimit + 10);
  c.TrackPlan.set_double(kPlanLimit - 2, 1, kPlanLimit - 2);
  c.TrackPlan.set_double(kPlanLimit - 1, 1, kPlanLimit - 1);
  int32_t cursor = kPlanLimit;
  EXPECT_FALSE(walk_plan(c, cursor, kPlanLimit + 5, 0.0, true));
  EXPECT_EQ(cursor, kPlanLimit + 1);
  EXPECT_EQ(c.TrackPlan.tag(kPlanLimit, 1), PlanTag::Double);  // computed and kept
  EXPECT_EQ(c.TrackPlan.value(kPlanLimit, 1), static_cast<double>(kPlanLimit));
  EXPECT_EQ(c.TrackPlan.tag(kPlanLimit + 1, 1), PlanTag::Empty);
  // The plan tail does not test the limit.
  EXPECT_TRUE(walk_plan(c, cursor, kPlanLimit + 5, 0.0, false));
  EXPECT_EQ(cursor, kPlanLimit + 6);
}

TEST(PlanWalk, NeverWritesPastThePlan) {
  Compilation c = with_plan(10);
  int32_t cursor = 2;
  EXPECT_THROW(walk_plan(c, cursor, 11, 0.0, false), ReadFailure);
  EXPECT_EQ(cursor, 11);
  Compilation without_plan;
  cursor = 2;
  EXPECT_THROW(walk_plan(without_plan, cursor, 5, 0.0, false), ReadFailure);
}


TEST(PlaceTunnel, WritesTheKindAndEveryFourthMarker) {
  Compilation c = with_track(1581);
  EXPECT_EQ(place_tunnel(c, {13050, 13650, 12}), 2);
  EXPECT_EQ(c.TunnelCount, 1);
  EXPECT_EQ(c.TunnelStart[1], 13050);
  EXPECT_EQ(c.TunnelEnd[1], 13650);
  for (int cell = 255; cell <= 280; ++cell) {
    const bool inside = cell >= 261 && cell <= 272;
    const bool marker = cell == 264 || cell == 268 || cell == 272;
    EXPECT_EQ(c.TrackCells[cell].Tunnel, inside ? 2 : 0) << cell;
    EXPECT_EQ(c.TrackCells[cell].Kind, marker ? kTunnelMarker : kNothing) << cell;
  }
  place_tunnel(c, {36900, 36950, 12});
  EXPECT_EQ(c.TrackCells[737].Tunnel, 0);
  EXPECT_EQ(c.TrackCells[738].Tunnel, 2);
  EXPECT_EQ(c.TrackCells[738].Kind, kNothing);  // the count never reaches 4
  EXPECT_EQ(c.TrackCells[739].Tunnel, 0);
  EXPECT_EQ(c.TunnelCount, 2);
}

TEST(PlaceTunnel, Cases) {
  struct Case {
    const char* what;
    TunnelRecord before;  // an earlier tunnel; start < 0 for none
    TunnelRecord tunnel;
    int32_t kind_placed;
    int first_cell, last_cell;  // cells that take the kind (first > last: none)
    uint8_t stored;             // the kind as the cells store it
    bool markers;
  };
  const Case cases[] = {
      {"unmarked", {-1, 0, 0}, {1000, 1400, 2}, 2, 20, 27, 2, false},
      {"kind 10 is not marked", {-1, 0, 0}, {1000, 1400, 10}, 10, 20, 27, 10, false},
      {"kind 11 is kind 1 marked", {-1, 0, 0}, {1000, 1400, 11}, 1, 20, 27, 1, true},
      {"150 m after the previous: kind 3", {0, 850, 2}, {1000, 1400, 12}, 3, 20, 27, 3, true},
      {"151 m after the previous: its own kind", {0, 849, 2}, {1000, 1400, 12}, 2, 20, 27, 2, true},
      {"overlapping the previous: kind 3", {0, 1200, 2}, {1000, 1400, 2}, 3, 20, 27, 3, false},
      {"halves go to even cells", {-1, 0, 0}, {1025, 1475, 2}, 2, 20, 28, 2, false},
      {"first index past the last: no cell", {-1, 0, 0}, {1000, 1000, 12}, 2, 20, 19, 2, false},
      {"low 8 bits of the kind", {-1, 0, 0}, {1000, 1400, 265}, 255, 20, 27, 255, true},
  };
  for (const Case& test : cases) {
    Compilation c = with_track(100);
    if (test.before.start >= 0) {
      place_tunnel(c, test.before);
      for (TrackCell& cell : c.TrackCells) cell = TrackCell{};
    }
    EXPECT_EQ(place_tunnel(c, test.tunnel), test.kind_placed) << test.what;
    int count = 0;
    for (int cell = 0; cell < 100; ++cell) {
      const bool inside = cell >= test.first_cell && cell <= test.last_cell;
      const bool marker = inside && test.markers && ++count % 4 == 0;
      EXPECT_EQ(c.TrackCells[cell].Tunnel, inside ? test.stored : 0) << test.what << " " << cell;
      EXPECT_EQ(c.TrackCells[cell].Kind, marker ? kTunnelMarker : kNothing)
          << test.what << " " << cell;
    }
  }
}

TEST(PlaceTunnel, MarkersOnlyOnEmptyCells) {
  Compilation c = with_track(100);
  c.TrackCells[23].Kind = kInformationBoard;
  c.TrackCells[27].Kind = kSpeedBoard;
  place_tunnel(c, {1000, 1400, 12});
  EXPECT_EQ(c.TrackCells[23].Kind, kInformationBoard);
  EXPECT_EQ(c.TrackCells[27].Kind, kSpeedBoard);
  EXPECT_EQ(c.TrackCells[23].Tunnel, 2);
  EXPECT_EQ(c.TrackCells[27].Tunnel, 2);
}

TEST(PlaceTunnel, AnEightyFirstTunnelWritesNothing) {
  Compilation c = with_track(100);
  for (int n = 1; n <= 80; ++n) place_tunnel(c, {0, 100, 2});
  EXPECT_EQ(c.TunnelCount, 80);
  EXPECT_EQ(c.TunnelStart[80], 0);
  EXPECT_THROW(place_tunnel(c, {2000, 3000, 12}), ReadFailure);
  EXPECT_EQ(c.TunnelCount, 80);
  EXPECT_EQ(c.TrackCells[40].Tunnel, 0);
}

TEST(PlaceTunnel, ATunnelOffTheTrackWritesNothing) {
  Compilation c = with_track(100);
  EXPECT_THROW(place_tunnel(c, {4000, 5100, 12}), ReadFailure);  // last cell 101
  EXPECT_THROW(place_tunnel(c, {-100, 500, 12}), ReadFailure);
  EXPECT_EQ(c.TunnelCount, 0);
  for (const TrackCell& cell : c.TrackCells) EXPECT_EQ(cell.Tunnel, 0);
}

struct Board {
  int32_t posizione, vas, vbs, vcs;
  int16_t strisces;
  int32_t vad, vbd, vcd;
  int16_t strisced;
};

void place(Compilation& c, Board b) {
  place_speed_board(c, b.posizione,
                    {.left = {b.vas, b.vbs, b.vcs},
                     .right = {b.vad, b.vbd, b.vcd},
                     .strisces = b.strisces,
                     .strisced = b.strisced});
}

TEST(PlaceSpeedBoard, PacksTheSpeeds) {
  struct Case {
    const char* what;
    Board board;
    int cell;
    int16_t param1, param2, param3, param4;
  };
  const Case cases[] = {
      {"140/160/190 left, 140/160/180 right",
       {5050, 140, 160, 190, 1, 140, 160, 180, 2},
       102,
       2828,
       3232,
       3836,
       12},
      {"no right-hand speeds", {5050, 110, 115, 120, 0, 0, 0, 0, 0}, 102, 2200, 2300, 2400, 0},
      {"speeds off the 5 km/h grid round", {1000, 0, 0, 0, 0, 112, 113, 2, 0}, 21, 22, 23, 0, 0},
      {"negative speeds", {1000, -1, 0, 0, 0, -5, 0, 0, 0}, 21, -21, 0, 0, 0},
      {"at 25 m: cell 2", {25, 5, 0, 0, 0, 0, 0, 0, 0}, 2, 100, 0, 0, 0},
      {"at 75 m: cell 2", {75, 5, 0, 0, 0, 0, 0, 0, 0}, 2, 100, 0, 0, 0},
      {"at 0 m: cell 1", {0, 5, 0, 0, 0, 0, 0, 0, 0}, 1, 100, 0, 0, 0},
      {"the highest packed value", {1000, 1638, 0, 0, 0, 35, 0, 0, 0}, 21, 32767, 0, 0, 0},
      {"the lowest packed value", {1000, -1638, 0, 0, 0, -40, 0, 0, 0}, 21, -32768, 0, 0, 0},
      {"stripes in 16-bit arithmetic", {1000, 0, 0, 0, 3277, 0, 0, 0, 0}, 21, 0, 0, 0, -32766},
  };
  for (const Case& test : cases) {
    Compilation c = with_track(200);
    place(c, test.board);
    EXPECT_EQ(c.StatusCode, 0) << test.what;
    const TrackCell& cell = c.TrackCells[test.cell];
    EXPECT_EQ(cell.Kind, kSpeedBoard) << test.what;
    EXPECT_EQ(cell.Param1, test.param1) << test.what;
    EXPECT_EQ(cell.Param2, test.param2) << test.what;
    EXPECT_EQ(cell.Param3, test.param3) << test.what;
    EXPECT_EQ(cell.Param4, test.param4) << test.what;
  }
}

TEST(PlaceSpeedBoard, OnlyIntoAFreeCell) {
  const uint8_t kinds[] = {kSignal,        kSlowOrderEnd, kSpeedBoard,
                           kStationMarker, kCodePoint,    kInformationBoard};
  for (uint8_t kind : kinds) {
    Compilation c = with_track(200);
    c.TrackCells[102].Kind = kind;
    c.TrackCells[102].Param1 = 79;
    place(c, {5050, 140, 160, 190, 1, 140, 160, 180, 2});
    EXPECT_EQ(c.StatusCode, 21) << int{kind};
    EXPECT_EQ(c.TrackCells[102].Kind, kind);
    EXPECT_EQ(c.TrackCells[102].Param1, 79);
  }
  Compilation c = with_track(200);
  c.TrackCells[102].Kind = kTunnelMarker;
  c.TrackCells[102].Tunnel = 2;
  place(c, {5050, 140, 160, 190, 1, 140, 160, 180, 2});
  EXPECT_EQ(c.StatusCode, 0);
  EXPECT_EQ(c.TrackCells[102].Kind, kSpeedBoard);  // the marker is replaced
  EXPECT_EQ(c.TrackCells[102].Tunnel, 2);

  Compilation off = with_track(100);
  place(off, {5000, 140, 160, 190, 1, 140, 160, 180, 2});  // cell 101
  EXPECT_EQ(off.StatusCode, 21);
  place(off, {-100, 140, 160, 190, 1, 140, 160, 180, 2});  // cell -1
  EXPECT_EQ(off.StatusCode, 21);
}

TEST(PlaceSpeedBoard, APackedValueOutside16BitsFails) {
  Compilation c = with_track(200);
  EXPECT_THROW(place(c, {1000, 1638, 0, 0, 0, 40, 0, 0, 0}), ReadFailure);
  // What came before the failing value stays written.
  Compilation later = with_track(200);
  EXPECT_THROW(place(later, {1000, 5, -1639, 0, 0, 0, 0, 0, 0}), ReadFailure);
  EXPECT_EQ(later.TrackCells[21].Kind, kSpeedBoard);
  EXPECT_EQ(later.TrackCells[21].Param1, 100);
  EXPECT_EQ(later.TrackCells[21].Param2, 0);
}

}  // namespace
}  // namespace scengen
