// The model of small hand-made tracks and tables: what each feature reads as, and the facts
// behind it that the cells alone hold (overwritten slots, pairings, recovered indications, the
// finishing pass's own code points).
#include "scenario/scenario_model.h"

#include <gtest/gtest.h>

#include "compiler/finishing_pass.h"
#include "compiler/line_placement.h"
#include "compiler/output_files.h"
#include "compiler/signal_placement.h"
#include "testing/models.h"

namespace scengen {
namespace {

using testing::hand_made_model;
using testing::with_track;

TEST(HandMadeModel, PutsEachFeatureAtItsPlaceWithItsValues) {
  const ScenarioModel m = read_scenario(hand_made_model());
  ASSERT_EQ(m.signals.size(), 1u);
  EXPECT_EQ(m.signals[0].position, 1750);
  EXPECT_EQ(m.signals[0].cell, 36);
  EXPECT_EQ(m.signals[0].values.s1, 4);
  EXPECT_EQ(m.signals[0].values.d1, 3);
  ASSERT_EQ(m.code_points.size(), 2u);
  EXPECT_EQ(m.code_points[0].position, 2000);
  EXPECT_EQ(m.code_points[0].code, 270);
  EXPECT_FALSE(m.code_points[0].derived);
  EXPECT_EQ(m.code_points[1].position, 3000);
  EXPECT_FALSE(m.code_points[1].has_code);
  ASSERT_EQ(m.speed_boards.size(), 2u);
  EXPECT_EQ(m.speed_boards[1].position, 1250);
  EXPECT_EQ(m.speed_boards[1].values.left, (std::array<int32_t, 3>{140, 160, 190}));
  ASSERT_EQ(m.information_boards.size(), 1u);
  EXPECT_EQ(m.information_boards[0].position, 1700);
  EXPECT_EQ(m.information_boards[0].slot, 80);
  EXPECT_EQ(m.information_boards[0].panels, (std::vector<std::string>{"P.B.A.", "P. 253"}));
  // Each cell names its feature in the list of its kind.
  EXPECT_EQ(m.cells[36].feature, 0);
  EXPECT_EQ(m.cells[60].feature, 1);
  EXPECT_EQ(m.cells[60].position, 3000);
  EXPECT_EQ(m.cells[37].feature, -1);
  EXPECT_EQ(m.cells[37].position, 1850);
}

TEST(HandMadeModel, ReadsTheSlowOrderWithItsBoards) {
  const ScenarioModel m = read_scenario(hand_made_model());
  ASSERT_EQ(m.slow_orders.size(), 1u);
  const SlowOrder& o = m.slow_orders[0];
  EXPECT_EQ(o.start, 6000);
  EXPECT_EQ(o.end, 6400);
  EXPECT_EQ(o.matching_end, 6400);
  EXPECT_EQ(o.values.v, 40);
  EXPECT_EQ(o.warning_cell, 97);
  EXPECT_FALSE(o.missing_warning_board);
  EXPECT_TRUE(o.approach_board_before_warning);
  EXPECT_TRUE(o.approach_boards);
  ASSERT_EQ(m.warning_boards.size(), 1u);
  EXPECT_EQ(m.warning_boards[0].position, 4800);
  ASSERT_EQ(m.approach_boards.size(), 4u);
  EXPECT_EQ(m.approach_boards[0].position, 4600);
  EXPECT_EQ(m.approach_boards[0].approach.board, 4);
  ASSERT_EQ(m.slow_order_ends.size(), 1u);
  EXPECT_EQ(m.slow_order_ends[0].order, 0u);
  EXPECT_TRUE(m.unclaimed_slow_order_cells.empty());
}

TEST(HandMadeModel, ReadsTheTunnelItsMarkersAndItsListing) {
  const ScenarioModel m = read_scenario(hand_made_model());
  ASSERT_EQ(m.tunnels.size(), 1u);
  const Tunnel& t = m.tunnels[0];
  EXPECT_EQ(t.start, 4000);
  EXPECT_EQ(t.end, 4600);
  EXPECT_EQ(t.kind, 2);
  // Markers in cells 84 and 88: the tunnel's fourth cells are 83, 87 and 91.
  EXPECT_TRUE(t.has_marker);
  EXPECT_FALSE(t.marked);
  EXPECT_EQ(t.marker_cells, (std::vector<int32_t>{84, 88}));
  EXPECT_EQ(t.stray_marker_cell, 84);
  EXPECT_EQ(t.written_kind, 2);
  ASSERT_EQ(m.listed_tunnels.size(), 1u);
  EXPECT_EQ(m.listed_tunnels[0].start, 4000);
  EXPECT_EQ(m.listed_tunnels[0].kind, 2);
}

TEST(HandMadeModel, ReadsTheProfilesAsSteps) {
  const ScenarioModel m = read_scenario(hand_made_model());
  ASSERT_GE(m.gradients.size(), 4u);
  EXPECT_EQ(m.gradients[0].value, 0);
  EXPECT_EQ(m.gradients[1].start, 2000);
  EXPECT_EQ(m.gradients[1].end, 3000);
  EXPECT_EQ(m.gradients[1].value, 5);
  EXPECT_EQ(m.gradients[3].value, -3);
  EXPECT_EQ(m.speed_limits[0].end, 1000);
  EXPECT_EQ(m.speed_limits[0].value, 30);
  EXPECT_EQ(m.speed_limits[1].value, 100);
  EXPECT_EQ(m.speed_limits.back().end_cell, 341);
  ASSERT_EQ(m.adhesion.size(), 3u);
  EXPECT_EQ(m.adhesion[1].value, 70);
  EXPECT_EQ(step_at(m.adhesion, 85), &m.adhesion[1]);
  EXPECT_EQ(step_at(m.adhesion, 90), &m.adhesion[2]);
  EXPECT_EQ(step_at(m.adhesion, 341), nullptr);
}

TEST(HandMadeModel, ReadsTheCurvesFromThePlan) {
  const ScenarioModel m = read_scenario(hand_made_model());
  ASSERT_TRUE(m.plan.present);
  ASSERT_EQ(m.plan.curves.size(), 2u);
  EXPECT_EQ(m.plan.curves[0].start, 1000);
  EXPECT_EQ(m.plan.curves[0].length, 300);
  EXPECT_EQ(m.plan.curves[0].curve_class, 6);
  EXPECT_EQ(m.plan.curves[1].start, 5000);
  EXPECT_EQ(m.plan.curves[1].length, 1000);
  EXPECT_EQ(m.plan.curves[1].curve_class, -3);
  ASSERT_EQ(m.plan.curvature_runs.size(), 2u);
  EXPECT_EQ(m.plan.curvature_runs[0].first_point, 1001);
  EXPECT_EQ(m.plan.curvature_runs[0].last_point, 1300);
  EXPECT_EQ(m.plan.curvature_runs[0].units, 300);
  EXPECT_EQ(m.plan.curvature_runs[1].units, -40);
  EXPECT_EQ(m.plan.curvature_runs[1].curve_class, 3);
}

TEST(HandMadeModel, ReadsTheStationsAndTheGeneralValues) {
  const ScenarioModel m = read_scenario(hand_made_model());
  ASSERT_EQ(m.stations.size(), 3u);
  EXPECT_EQ(m.stations[0].values.name, "ORIGINE");
  EXPECT_EQ(m.stations[0].marker_cell, 11);
  EXPECT_EQ(m.stations[1].kind, StationKind::HaltOrCabin);
  EXPECT_EQ(m.stations[1].name_utf8, "Fermata \xC3\xA8");
  EXPECT_FALSE(m.stations[1].marker_cell);
  EXPECT_TRUE(m.stations[2].terminus);
  EXPECT_EQ(m.stations[2].values.time_seconds, 9 * 3600 + 33 * 60);
  EXPECT_EQ(m.slots[80].role, SlotRole::BoardText);
  EXPECT_EQ(m.slots[84].role, SlotRole::Setting);
  EXPECT_EQ(m.general.route_length, 10000);
  EXPECT_EQ(m.general.repetition.start, 2000);
  EXPECT_EQ(m.general.repetition.codes, 9);
  EXPECT_TRUE(m.general.repetition.present());
  EXPECT_EQ(m.references[0].position, 1000);
  EXPECT_EQ(m.references[0].written_progressive, 218300);
  EXPECT_TRUE(m.references[1].empty);
}

// A board whose cell a station marker took leaves its text slot without a board; the stations
// end at the first slot a board names.
TEST(OverwrittenSlots, ABoardTextWithoutItsBoardAndTheStationsBeforeABoardsSlot) {
  Compilation c = hand_made_model();
  c.ScenarioTable[79].Text = "GONE";
  c.ScenarioTable[78].Text = "KEPT";
  pack_slot_cell(kStationMarker, 3, c.TrackCells[200]);  // where the board of slot 79 stood
  pack_slot_cell(kInformationBoard, 78, c.TrackCells[250]);
  pack_slot_cell(kInformationBoard, 3, c.TrackCells[260]);
  const ScenarioModel m = read_scenario(c);
  // The board texts reach down to the lowest slot a board names, 3.
  ASSERT_EQ(m.board_texts.size(), 78u);
  EXPECT_EQ(m.board_texts[0].board, 0u);
  EXPECT_EQ(m.board_texts[1].slot, 79);
  EXPECT_EQ(m.board_texts[1].text, "GONE");
  EXPECT_FALSE(m.board_texts[1].board);
  EXPECT_EQ(m.board_texts[2].board, 1u);
  EXPECT_FALSE(m.board_texts[3].board);
  EXPECT_EQ(m.board_texts.back().slot, 3);
  EXPECT_EQ(m.board_texts.back().board, 2u);
  EXPECT_FALSE(m.slots[79].named_by_board);
  EXPECT_TRUE(m.slots[3].named_by_board);
  EXPECT_EQ(m.stations.size(), 2u);
  EXPECT_EQ(m.lowest_board_slot, 3);
  EXPECT_EQ(m.last_filled_station_slot, 2);
  EXPECT_EQ(m.station_markers.back().slot, 3);
}

TEST(TableSlots, TellsTheRoleOfASlotFromTheTableAlone) {
  struct Case {
    int slot;
    ScenarioEntry entry;
    SlotRole role;
  };
  ScenarioEntry station;
  station.Tag = 4;
  station.Text = "NAME";
  ScenarioEntry text;
  text.Text = "(P.B.A.)";
  const Case cases[] = {
      {0, station, SlotRole::Empty},      {1, {}, SlotRole::Empty},
      {1, station, SlotRole::Station},    {40, text, SlotRole::BoardText},
      {80, station, SlotRole::Station},   {81, {}, SlotRole::Setting},
      {86, text, SlotRole::Setting},
  };
  for (const Case& k : cases) {
    CompiledFiles files;
    files.table[static_cast<size_t>(k.slot)] = k.entry;
    const ScenarioModel m = read_scenario(files);
    EXPECT_EQ(m.slots[static_cast<size_t>(k.slot)].role, k.role) << "slot " << k.slot;
  }
}

// A slow order of 40 km/h at 10000 m (start cell 201, end 209, warning board 177) with the
// author's code points placed before the finishing pass adds its own.
TEST(CodePointOrigin, TellsThePassesCodePointsFromTheAuthors) {
  Compilation c = with_track(400);
  place_slow_order(c, {10000, 40, 400, 0, 0, 0});
  const struct {
    int32_t cell;
    int32_t code;
  } authored[] = {{196, 180}, {190, 270}, {300, 180}};
  for (const auto& a : authored) {
    pack_code_point({a.code}, c.TrackCells[static_cast<size_t>(a.cell)]);
  }
  finishing_pass(c);
  ASSERT_EQ(c.StatusCode, 0);

  struct Case {
    int32_t cell;
    int32_t code;
    bool derived;
  };
  // 196 took the pass's first choice, which then went to 195: the same bytes as the pass's
  // point in 196 and the author's in 195, which is how the files read. 190 held 270, so the
  // pass took 189. 300 is no place the pass would take.
  const Case cases[] = {{183, 180, true},  {189, 180, true}, {190, 270, false},
                        {195, 180, false}, {196, 180, true}, {208, 180, true},
                        {300, 180, false}};
  const ScenarioModel m = read_scenario(compiled_files(c));
  ASSERT_EQ(m.code_points.size(), std::size(cases));
  for (size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_EQ(m.code_points[i].cell, cases[i].cell);
    EXPECT_EQ(m.code_points[i].code, cases[i].code) << "cell " << cases[i].cell;
    EXPECT_EQ(m.code_points[i].derived, cases[i].derived) << "cell " << cases[i].cell;
  }
}

// Two orders one inside the other: a reader sees the outer one end where the inner one starts;
// a text must pair each start with the end of its own values.
TEST(SlowOrderPairing, TheNearestEndAndTheMatchingEnd) {
  Compilation c = with_track(100);
  pack_slow_order(kSlowOrderStart, {60, 0, 0}, c.TrackCells[50]);
  pack_slow_order(kSlowOrderStart, {30, 0, 0}, c.TrackCells[55]);
  pack_slow_order(kSlowOrderEnd, {30, 0, 0}, c.TrackCells[58]);
  pack_slow_order(kSlowOrderEnd, {60, 0, 0}, c.TrackCells[62]);
  pack_warning_board({60, 0}, c.TrackCells[10]);
  const ScenarioModel m = read_scenario(c);
  ASSERT_EQ(m.slow_orders.size(), 2u);
  EXPECT_EQ(m.slow_orders[0].end_cell, 50);
  EXPECT_EQ(m.slow_orders[0].matching_end_cell, 62);
  EXPECT_EQ(m.slow_orders[0].matching_end, 3050);
  EXPECT_EQ(m.slow_orders[1].end_cell, 58);
  EXPECT_EQ(m.slow_orders[1].matching_end_cell, 58);
  EXPECT_TRUE(m.slow_orders[0].missing_warning_board);
  EXPECT_EQ(m.slow_order_ends[0].order, 1u);
  EXPECT_EQ(m.slow_order_ends[1].order, 0u);
  ASSERT_EQ(m.unclaimed_slow_order_cells.size(), 1u);
  EXPECT_EQ(m.unclaimed_slow_order_cells[0].cell, 10);
  EXPECT_EQ(m.unclaimed_slow_order_cells[0].kind, kWarningBoard);
}

TEST(SignalIndications, RecoversTheSumParam4CannotHoldAndTheOrderTheMarksNeed) {
  Compilation c = with_track(100);
  // Cell 45: sx 4, rapp 3 packs Param4 42, which reads plainly as sum 2 and rapp 4.
  place_signal(c, 2200, {4, 1, 1, 1, 3, 0, 0, 0, 0, 0});
  // Cells 40 and 36, whose marks meet in cells 34 and 32: the signal in 36 was written last.
  place_signal(c, 1950, {0, 1, 1, 1, 0, 1, 0, 0, 0, 0});
  place_signal(c, 1750, {1, 1, 1, 1, 0, 0, 0, 0, 0, 0});
  const ScenarioModel m = read_scenario(c);
  ASSERT_EQ(m.signals.size(), 3u);
  EXPECT_EQ(m.signals[2].cell, 45);
  EXPECT_EQ(m.signals[2].indication_sum, 12);
  EXPECT_EQ(m.signals[2].recovered_rapp, 3);
  EXPECT_EQ(m.signals[1].indication_sum, 1);
  EXPECT_EQ(m.signals[0].indication_sum, 3);
  EXPECT_EQ(m.signal_write_order, (std::vector<size_t>{1, 0, 2}));
}

TEST(SealCell, FeaturesThereAreReadWithoutTheSealsValues) {
  Compilation c = with_track(10);
  pack_signal({.s1 = 0, .rapp = 2}, c.TrackCells[kSealCell]);
  c.TrackCells[kSealCell].Param1 = kCellSeal;
  c.TrackCells[kSealCell].Param2 = 77;
  c.ScenarioTable[kRouteIdSlot].Small1 = kTableSeal;
  c.ScenarioTable[kRouteIdSlot].Num4 = 1234;
  const ScenarioModel m = read_scenario(c);
  ASSERT_EQ(m.signals.size(), 1u);
  EXPECT_EQ(m.signals[0].values.s1, 0);
  EXPECT_EQ(m.signals[0].values.d1, 0);
  EXPECT_EQ(m.signals[0].values.rapp, 2);
  EXPECT_EQ(m.seal.cell_seal, kCellSeal);
  EXPECT_EQ(m.seal.plain_code, 77);
  EXPECT_EQ(m.seal.table_seal, kTableSeal);
  EXPECT_EQ(m.seal.weighted_code, 1234);
}

TEST(KilometricReferences, GivesTheOrderATextWritesOrNoneWhenNoOrderGivesTheTable) {
  auto set = [](ScenarioEntry& e, int32_t position, int32_t progressive, int32_t direction) {
    e.Num1 = position;
    e.Num2 = progressive;
    e.Num3 = direction;
  };
  Compilation c;
  // "uno", "due", "tre" into slots 83, 82, 81, then ordered as the line reader orders them.
  set(c.ScenarioTable[83], 1000, 218400, 1);
  set(c.ScenarioTable[82], 30000, 190000, 0);
  set(c.ScenarioTable[81], 60000, 160000, 0);
  order_references(c);
  const ScenarioModel m = read_scenario(compiled_files(c));
  ASSERT_TRUE(m.references_as_written);
  Compilation again;
  for (int k = 0; k < 3; ++k) {
    const ReferencePoint& r = (*m.references_as_written)[static_cast<size_t>(k)];
    set(again.ScenarioTable[static_cast<size_t>(83 - k)], r.position, r.written_progressive,
        r.direction);
  }
  order_references(again);
  for (const int slot : kReferenceSlots) {
    EXPECT_EQ(again.ScenarioTable[static_cast<size_t>(slot)].Num1,
              c.ScenarioTable[static_cast<size_t>(slot)].Num1);
    EXPECT_EQ(again.ScenarioTable[static_cast<size_t>(slot)].Num2,
              c.ScenarioTable[static_cast<size_t>(slot)].Num2);
  }
  // Smallest position first: the ordering would have turned them round.
  std::swap(c.ScenarioTable[81], c.ScenarioTable[83]);
  EXPECT_FALSE(read_scenario(compiled_files(c)).references_as_written);
}

TEST(RoutePlanFiles, FindsTheStretchWhereTwoPlansDiffer) {
  const Compilation c = hand_made_model();
  const std::string a = encode_route_plan(c.TrackPlan);
  EXPECT_FALSE(differing_plan_points(a, a));
  TrackPlan other;
  testing::start_plan(other, c.ExtendedLength);
  int32_t cursor = 2;
  testing::walk_plan(other, cursor, 1000, 0);
  testing::walk_plan(other, cursor, c.ExtendedLength - 2, 0);
  const auto stretch = differing_plan_points(a, encode_route_plan(other));
  ASSERT_TRUE(stretch);
  EXPECT_EQ(stretch->first, 1001);  // the first point the curve turns
  EXPECT_EQ(stretch->last, c.ExtendedLength - 2);
  const ScenarioModel broken = read_scenario(CompiledFiles{{}, {}, std::string("\x07")});
  EXPECT_FALSE(broken.plan.present);
  EXPECT_FALSE(broken.plan.error.empty());
}

TEST(Helpers, TimesOfDay) {
  const struct {
    int32_t seconds;
    const char* with_seconds;
    const char* minutes;
  } cases[] = {{0, "0:00", "0:00"},
               {8 * 3600 + 20 * 60, "8:20", "8:20"},
               {8 * 3600 + 20 * 60 + 30, "8:20:30", "8:20"},
               {25 * 3600 + 5 * 60, "25:05", "25:05"}};
  for (const auto& k : cases) {
    EXPECT_EQ(time_of_day(k.seconds), k.with_seconds);
    EXPECT_EQ(time_of_day_in_minutes(k.seconds), k.minutes);
  }
}

TEST(Helpers, BoardPanelsAndCurveClasses) {
  EXPECT_EQ(text_panels("(P.B.A.)(P.  253 )"), (std::vector<std::string>{"P.B.A.", "P. 253"}));
  EXPECT_EQ(text_panels("  BIVIO  "), (std::vector<std::string>{"BIVIO"}));
  EXPECT_TRUE(text_panels("( )").empty());
  const struct {
    int64_t units;
    int curve_class;
  } cases[] = {{10, 1}, {-20, 2}, {40, 3}, {100, 4}, {200, 5}, {-300, 6}, {15, 0}, {0, 0}};
  for (const auto& k : cases) EXPECT_EQ(curve_class_of_units(k.units), k.curve_class) << k.units;
  EXPECT_EQ(class_curvature_units(7), 0);
}

}  // namespace
}  // namespace scengen
