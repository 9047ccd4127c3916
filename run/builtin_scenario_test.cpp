// The built-in scenario compiled end to end from the texts its own writers produce.
#include <gtest/gtest.h>

#include "compiler/compile.h"
#include "compiler/read_descriptions.h"
#include "texts/line_description.h"
#include "texts/train_description.h"

namespace scengen {
namespace {

class BuiltInScenario : public ::testing::Test {
 protected:
  void SetUp() override {
    c.RouteId = "Veltrano_Quarnelo";
    c.TrainNumber = "58316";
    c.CompileFlag = 1;
  }
  MemoryTexts texts{emit_line_list(line_description_lines()),
                    emit_line_list(train_description_lines())};
  Compilation c;

  int count_kind(uint8_t kind) const {
    int n = 0;
    for (const TrackCell& cell : c.TrackCells) n += cell.Kind == kind;
    return n;
  }
};

TEST_F(BuiltInScenario, TheLineDescriptionBuildsTheRoute) {
  ReadingState state;
  ASSERT_TRUE(read_line_description(c, texts, state));
  EXPECT_EQ(c.StatusCode, 0);
  EXPECT_FALSE(texts.line_exists());
  ASSERT_EQ(c.TrackCells.size(), 1581u);

  // The plan: points 0 and 1 integers, 2 to 78998 computed, 78999 and 79000 never assigned.
  ASSERT_EQ(c.TrackPlan.last_point(), 79000);
  for (int coordinate = 0; coordinate < 2; ++coordinate) {
    EXPECT_EQ(c.TrackPlan.tag(0, coordinate), PlanTag::Integer);
    EXPECT_EQ(c.TrackPlan.tag(1, coordinate), PlanTag::Integer);
    EXPECT_EQ(c.TrackPlan.tag(2, coordinate), PlanTag::Double);
    EXPECT_EQ(c.TrackPlan.tag(78998, coordinate), PlanTag::Double);
    EXPECT_EQ(c.TrackPlan.tag(78999, coordinate), PlanTag::Empty);
    EXPECT_EQ(c.TrackPlan.tag(79000, coordinate), PlanTag::Empty);
  }
  EXPECT_EQ(c.TrackPlan.value(1, 1), 1.0);
  EXPECT_EQ(c.TrackPlan.value(1000, 0), 0.0);
  EXPECT_EQ(c.TrackPlan.value(1000, 1), 1000.0);
  // The first curve, class 6 to the right from 1000 m: one step of the unit step turned by 0.003.
  EXPECT_DOUBLE_EQ(c.TrackPlan.value(1001, 0), 0.003);
  EXPECT_DOUBLE_EQ(c.TrackPlan.value(1001, 1), 1001.0);

  // Gradients: each record's value from its cell on; the last three cells keep 0.
  struct Gradient {
    int cell;
    int value;
  };
  const Gradient gradients[] = {{0, 100},    {23, 100},   {24, 105},  {34, 105},  {35, 100},
                                {196, 100},  {197, 97},   {236, 97},  {237, 100}, {408, 99},
                                {714, 99},   {715, 100},  {1363, 98}, {1364, 96}, {1414, 96},
                                {1415, 98},  {1416, 98},  {1417, 100}, {1577, 100}, {1578, 0},
                                {1579, 0},   {1580, 0}};
  for (const Gradient& g : gradients) EXPECT_EQ(c.TrackCells[g.cell].Gradient, g.value) << g.cell;

  // Tunnels: kind 12 is kind 2 with a marker in every fourth cell.
  for (int cell = 255; cell <= 745; ++cell) {
    const bool inside = (cell >= 261 && cell <= 272) || cell == 738;
    EXPECT_EQ(c.TrackCells[cell].Tunnel, inside ? 2 : 0) << cell;
  }
  for (int cell : {264, 268, 272}) EXPECT_EQ(c.TrackCells[cell].Kind, kTunnelMarker) << cell;
  EXPECT_EQ(count_kind(kTunnelMarker), 3);
  EXPECT_EQ(c.TunnelCount, 2);

  // Eight information boards, texts from slot 80 downward.
  const struct {
    int position;
    const char* text;
  } boards[] = {{1700, "(P.B.A.)(P. 253)"},
                {5700, "(P.B.A.)(P. 249)"},
                {12150, "(   2   )(BOLOGNA)(  L.L. )"},
                {21850, "(C.C. Km)(196.436)"},
                {22600, "( SEG. PROT  )(Bivio Sordio)"},
                {36850, "(Sottopasso)( S.S. n\xB0" "9 )"},
                {69450, "( INIZIO  )(PONTE SUL)(FIUME  PO)"},
                {70350, "(  FINE   )(PONTE SUL)(FIUME  PO)"}};
  int slot = 80;
  for (const auto& board : boards) {
    const TrackCell& cell = c.TrackCells[board.position / 50 + 1];
    EXPECT_EQ(cell.Kind, kInformationBoard) << board.position;
    EXPECT_EQ(cell.Param1, slot) << board.position;
    EXPECT_EQ(c.ScenarioTable[slot].Text, board.text);
    --slot;
  }
  EXPECT_EQ(state.next_board_slot, 72);
  EXPECT_EQ(count_kind(kInformationBoard), 8);

  // Kilometric references: "uno" alone, with its direction flag adding 100 m.
  EXPECT_EQ(c.ScenarioTable[81].Num1, 9550);
  EXPECT_EQ(c.ScenarioTable[81].Num2, 218400);
  EXPECT_EQ(c.ScenarioTable[81].Num3, 1);
  for (int s : {82, 83}) {
    EXPECT_EQ(c.ScenarioTable[s].Num1, 0);
    EXPECT_EQ(c.ScenarioTable[s].Num2, 0);
    EXPECT_EQ(c.ScenarioTable[s].Num3, 0);
  }
  EXPECT_EQ(c.ScenarioTable[84].Num2, 72000);
  EXPECT_EQ(c.ScenarioTable[85].Num1, 0);  // backgrounds "uno", "tre", "due"
  EXPECT_EQ(c.ScenarioTable[85].Num2, 0);
  EXPECT_EQ(c.ScenarioTable[85].Num3, 1);
  EXPECT_EQ(c.ScenarioTable[86].Num1, 10700);  // nine-code repetition to the end of the route
  EXPECT_EQ(c.ScenarioTable[86].Num2, 72000);
  EXPECT_EQ(c.ScenarioTable[86].Num3, 9);

  // Speed boards: 31, the 21900 m one packing left and right speeds per rank.
  EXPECT_EQ(count_kind(kSpeedBoard), 31);
  const TrackCell& board = c.TrackCells[21900 / 50 + 1];
  EXPECT_EQ(board.Kind, kSpeedBoard);
  EXPECT_EQ(board.Param1, 140 / 5 + 140 * 20);
  EXPECT_EQ(board.Param2, 160 / 5 + 160 * 20);
  EXPECT_EQ(board.Param3, 180 / 5 + 190 * 20);
  EXPECT_EQ(board.Param4, 0);
  EXPECT_EQ(c.TrackCells[5050 / 50 + 1].Param1, 110 * 20);  // no right-hand speeds
  EXPECT_EQ(c.TrackCells[30350 / 50 + 1].Param4, 2 * 10 + 2);
}

TEST_F(BuiltInScenario, TheTrainDescriptionAddsTheTrain) {
  ReadingState state;
  ASSERT_TRUE(read_line_description(c, texts, state));
  const int tunnel_markers = count_kind(kTunnelMarker);
  read_train_description(c, texts, state);
  EXPECT_EQ(c.StatusCode, 0);
  EXPECT_FALSE(texts.train_exists());
  EXPECT_EQ(state.speed_cursor, 1406);
  EXPECT_EQ(state.adhesion_cursor, 1140);

  int stations = 0;
  for (int slot = 1; slot <= 80 && !c.ScenarioTable[slot].Text.empty(); ++slot) ++stations;
  EXPECT_EQ(stations, 18);
  EXPECT_EQ(c.ScenarioTable[18].Text, "QUARNELO");
  EXPECT_EQ(count_kind(kStationMarker), 12);
  EXPECT_EQ(count_kind(kSignal), 41);
  EXPECT_EQ(count_kind(kCodePoint), 88);
  EXPECT_EQ(count_kind(kTunnelMarker), tunnel_markers);

  // The origin: type 8, 600 m long.
  const ScenarioEntry& origin = c.ScenarioTable[1];
  EXPECT_EQ(origin.Num1, -600);
  EXPECT_EQ(origin.Num2, 600);
  EXPECT_EQ(origin.Num4, 8 * 3600 + 20 * 60);
  for (int k = 1; k <= 4; ++k) EXPECT_EQ(c.TrackCells[11 - k].Mark, 80 + k);
  EXPECT_EQ(c.TrackCells[11].Kind, kStationMarker);
  EXPECT_EQ(c.TrackCells[11].Param1, 1);
  // The fourth station: ROGOREDO at 9550 m, type 12, 600 m.
  const ScenarioEntry& fourth = c.ScenarioTable[4];
  EXPECT_EQ(fourth.Text, "ROGOREDO");
  EXPECT_EQ(fourth.Num1, 9250);
  EXPECT_EQ(fourth.Num2, 9850);
  for (int k = 1; k <= 4; ++k) EXPECT_EQ(c.TrackCells[196 - k].Mark, 80 + k);
  EXPECT_EQ(c.TrackCells[196].Kind, kStationMarker);
  EXPECT_EQ(c.TrackCells[196].Param1, 4);

  // The first signal, at 1750 m.
  const TrackCell& signal = c.TrackCells[36];
  EXPECT_EQ(signal.Kind, kSignal);
  EXPECT_EQ(signal.Param4, 8);
  EXPECT_EQ(signal.Param1, 43);
  EXPECT_EQ(signal.Param2, 11);
  EXPECT_EQ(signal.Param3, 11);
  EXPECT_EQ(signal.Param5, 0);
  for (int k = 1; k <= 4; ++k) EXPECT_EQ(c.TrackCells[36 - 2 * k].Mark, 80 + k);

  // The slow order at 53750 m, 40 km/h over 400 m, with its boards.
  EXPECT_EQ(c.TrackCells[1052].Kind, kWarningBoard);
  EXPECT_EQ(c.TrackCells[1052].Param1, 40);
  EXPECT_EQ(c.TrackCells[1052].Param2, 30);
  for (int cell : {1076, 1084}) {
    EXPECT_EQ(c.TrackCells[cell].Param1, 40);
    EXPECT_EQ(c.TrackCells[cell].Param2, 30);
    EXPECT_EQ(c.TrackCells[cell].Param3, 1);
  }
  EXPECT_EQ(c.TrackCells[1076].Kind, kSlowOrderStart);
  EXPECT_EQ(c.TrackCells[1084].Kind, kSlowOrderEnd);
  for (int m = 0; m < 4; ++m) {
    EXPECT_EQ(c.TrackCells[1051 - m].Kind, kApproachBoard);
    EXPECT_EQ(c.TrackCells[1051 - m].Param1, m + 1);
    EXPECT_EQ(c.TrackCells[1051 - m].Param2, m + 1);
  }

  // Profiles: speed in units of 5 km/h and adhesion, each to the last three cells.
  EXPECT_EQ(c.TrackCells[0].SpeedLimit, 30 / 5);
  EXPECT_EQ(c.TrackCells[21].SpeedLimit, 30 / 5);
  EXPECT_EQ(c.TrackCells[22].SpeedLimit, 95 / 5);
  EXPECT_EQ(c.TrackCells[1577].SpeedLimit, 85 / 5);
  EXPECT_EQ(c.TrackCells[1578].SpeedLimit, 0);
  EXPECT_EQ(c.TrackCells[1078].Adhesion, 96);
  EXPECT_EQ(c.TrackCells[1079].Adhesion, 70);
  EXPECT_EQ(c.TrackCells[1577].Adhesion, 96);
  EXPECT_EQ(c.TrackCells[1578].Adhesion, 0);
  // General values.
  EXPECT_EQ(c.ScenarioTable[84].Num1, 120);
  EXPECT_EQ(c.ScenarioTable[84].Num3, 8);
  EXPECT_EQ(c.ScenarioTable[86].Small1, 300);
  EXPECT_EQ(c.ScenarioTable[86].Small3, 8);
  EXPECT_EQ(c.ScenarioTable[86].Small4, 19);
  EXPECT_EQ(c.ScenarioTable[86].Small5, 15);
}

TEST_F(BuiltInScenario, TheWholeCompileFinishesAndSealsWithoutError) {
  const CompileOutcome outcome = compile_scenario(c, texts, 1);
  ASSERT_EQ(outcome.end, CompileEnd::Sealed);
  EXPECT_EQ(c.StatusCode, 0);
  // The finishing pass: code points of 180 ahead of the slow-order start in cell 1076.
  for (int cell : {1071, 1065, 1058, 1083}) {
    EXPECT_EQ(c.TrackCells[cell].Kind, kCodePoint) << cell;
    EXPECT_EQ(c.TrackCells[cell].Param1, 180) << cell;
  }
  EXPECT_EQ(c.TrackCells[1].Param1, 5121);
  EXPECT_EQ(c.ScenarioTable[85].Small1, 610);
  EXPECT_EQ(c.TrackCells[1].Param2, 2449);  // "58316veltrano_quarneloqqw" summed
  EXPECT_EQ(c.ScenarioTable[85].Num4, 34781);  // each character times its place
}

}  // namespace
}  // namespace scengen
