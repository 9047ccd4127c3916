#include "render/route_view.h"

#include <gtest/gtest.h>

#include "testing/models.h"

namespace scengen {
namespace {

using testing::hand_made_model;

RouteView view_of(const Compilation& c) {
  return view_route(read_scenario(c));
}

TEST(ViewRoute, PutsEachFeatureAtThePositionItsCellStandsFor) {
  const RouteView view = view_of(hand_made_model());
  // Signals, slow orders and boards sit one cell on from their position; code points do not.
  EXPECT_EQ(view.signals, std::vector<int32_t>{1750});
  ASSERT_EQ(view.code_points.size(), 2u);
  EXPECT_EQ(view.code_points[0].position, 2000);
  EXPECT_EQ(view.code_points[0].code, 270);
  EXPECT_EQ(view.code_points[1].position, 3000);
  EXPECT_EQ(view.code_points[1].code, 0);
  ASSERT_EQ(view.slow_orders.size(), 1u);
  EXPECT_EQ(view.slow_orders[0].start, 6000);
  EXPECT_EQ(view.slow_orders[0].end, 6400);
  EXPECT_EQ(view.slow_orders[0].speed, 40);
  ASSERT_EQ(view.warning_boards.size(), 1u);
  EXPECT_EQ(view.warning_boards[0].position, 4800);
  EXPECT_EQ(view.warning_boards[0].warning.v, 40);
  ASSERT_EQ(view.approach_boards.size(), 4u);
  EXPECT_EQ(view.approach_boards[0].position, 4600);  // the furthest from the warning: board 4
  EXPECT_EQ(view.approach_boards[0].approach.board, 4);
  EXPECT_EQ(view.approach_boards[3].position, 4750);
  EXPECT_EQ(view.approach_boards[3].approach.board, 1);
  ASSERT_EQ(view.information_boards.size(), 1u);
  EXPECT_EQ(view.information_boards[0].position, 1700);
  EXPECT_EQ(view.information_boards[0].panels, (std::vector<std::string>{"P.B.A.", "P. 253"}));
  ASSERT_EQ(view.speed_boards.size(), 2u);
  EXPECT_EQ(view.speed_boards[0].position, 700);
  EXPECT_EQ(view.speed_boards[1].position, 1250);
}

TEST(ViewRoute, UnpacksTheSpeedsOfMaximumSpeedBoards) {
  Compilation c = hand_made_model();
  c.TrackCells[15].Param1 = 2200;  // 110 on the left, nothing on the right
  const RouteView view = view_of(c);
  const SpeedBoardCell& first = view.speed_boards[0].values;
  EXPECT_EQ(first.left, (std::array<int, 3>{110, 30, 30}));
  EXPECT_EQ(first.right, (std::array<int, 3>{0, 30, 30}));
  const SpeedBoardCell& board = view.speed_boards[1].values;  // 2828, 3232, 3836, stripes 2 and 1
  EXPECT_EQ(board.left, (std::array<int, 3>{140, 160, 190}));
  EXPECT_EQ(board.right, (std::array<int, 3>{140, 160, 180}));
  EXPECT_EQ(board.strisces, 2);
  EXPECT_EQ(board.strisced, 1);
}

TEST(ViewRoute, ReadsTheStationsUpToTheBoardTexts) {
  Compilation c = hand_made_model();
  const RouteView view = view_of(c);
  ASSERT_EQ(view.stations.size(), 3u);
  EXPECT_EQ(view.stations[0].name_utf8, "ORIGINE");
  EXPECT_EQ(view.stations[0].values.position, 0);
  EXPECT_EQ(view.stations[0].values.time_seconds, 30000);
  EXPECT_EQ(view.stations[1].name_utf8, "Fermata \xC3\xA8");  // decoded from Windows-1252
  EXPECT_EQ(view.stations[1].values.type, 28);
  EXPECT_EQ(view.stations[1].kind, StationKind::HaltOrCabin);
  EXPECT_EQ(view.stations[2].values.position, 9500);
  EXPECT_EQ(view.stations[2].slot, 3);
  // Stations that reach down to the board texts stop there: slot 80 is a board's.
  for (int slot = 4; slot < 80; ++slot) {
    c.ScenarioTable[static_cast<size_t>(slot)] = c.ScenarioTable[3];
  }
  EXPECT_EQ(view_of(c).stations.size(), 79u);
}

TEST(ViewRoute, ProfilesAreStepsAndTheElevationIsTheirIntegral) {
  const RouteView view = view_of(hand_made_model());
  EXPECT_EQ(view.route_length, 10000);
  EXPECT_EQ(view.drawn_length, 10000);
  ASSERT_EQ(view.gradients.size(), 5u);
  EXPECT_EQ(view.gradients[1].start, 2000);
  EXPECT_EQ(view.gradients[1].end, 3000);
  EXPECT_EQ(view.gradients[1].value, 5);
  EXPECT_EQ(view.gradients[3].value, -3);
  ASSERT_EQ(view.elevation.size(), 201u);
  EXPECT_DOUBLE_EQ(view.elevation[60], 5.0);    // 1000 m at 5 per mille
  EXPECT_DOUBLE_EQ(view.elevation[200], -1.0);  // then 2000 m at -3
  ASSERT_EQ(view.speed_limits.size(), 2u);
  EXPECT_EQ(view.speed_limits[0].value, 30);
  EXPECT_EQ(view.speed_limits[1].start, 1000);
  EXPECT_EQ(view.speed_limits[1].value, 100);
  EXPECT_EQ(view.usual_adhesion, 96);
  ASSERT_EQ(view.adhesion.size(), 3u);
  EXPECT_EQ(view.adhesion[1].start, 4000);
  EXPECT_EQ(view.adhesion[1].end, 4500);
  EXPECT_EQ(view.adhesion[1].value, 70);
}

TEST(ViewRoute, TunnelsReferencesAndTheRepetition) {
  const RouteView view = view_of(hand_made_model());
  ASSERT_EQ(view.tunnels.size(), 1u);
  EXPECT_EQ(view.tunnels[0].start, 4000);
  EXPECT_EQ(view.tunnels[0].end, 4600);
  EXPECT_EQ(view.tunnels[0].kind, 2);
  ASSERT_EQ(view.references.size(), 1u);
  EXPECT_EQ(view.references[0].position, 1000);
  EXPECT_EQ(view.references[0].progressive, 218400);
  EXPECT_EQ(view.repetition.start, 2000);
  EXPECT_EQ(view.repetition.end, 10000);
  EXPECT_EQ(view.repetition.codes, 9);
}

TEST(ViewRoute, AFeatureBeyondTheEndWidensWhatIsDrawn) {
  Compilation c = hand_made_model();
  c.TrackCells[202].Kind = kCodePoint;  // 10100 m
  c.TrackCells[202].Param1 = 270;
  const RouteView view = view_of(c);
  EXPECT_EQ(view.route_length, 10000);
  EXPECT_EQ(view.drawn_length, 10100);
  EXPECT_EQ(view.elevation.size(), 203u);
}

TEST(ViewRoute, AFeatureInTheSealsCellKeepsItsValuesWhenNoSealWasWritten) {
  // A compile that stopped before its seal, or whose seal found the cell taken, is drawn too.
  Compilation c = hand_made_model();
  c.TrackCells[kSealCell].Kind = kCodePoint;
  c.TrackCells[kSealCell].Param1 = 270;
  const RouteView view = view_of(c);
  ASSERT_EQ(view.code_points.size(), 3u);
  EXPECT_EQ(view.code_points[0].position, 50);
  EXPECT_EQ(view.code_points[0].code, 270);
}

TEST(ViewRoute, AModelWithoutCellsGivesAnEmptyView) {
  Compilation c;
  c.RouteId = std::string("X");
  const RouteView view = view_of(c);
  EXPECT_EQ(view.route_id, "X");
  EXPECT_TRUE(view.stations.empty());
  EXPECT_TRUE(view.elevation.empty());
}

TEST(InformationBoardPanels, SplitTheParenthesisedGroups) {
  struct Case {
    std::string text;
    std::vector<std::string> panels;
  };
  const Case cases[] = {
      {"(P.B.A.)(P. 253)", {"P.B.A.", "P. 253"}},
      {"(   2   )(BOLOGNA)(  L.L. )", {"2", "BOLOGNA", "L.L."}},
      {"( INIZIO  )(PONTE SUL)(FIUME  PO)", {"INIZIO", "PONTE SUL", "FIUME PO"}},
      {"plain words", {"plain words"}},
      {"", {}},
      {"(open", {"open"}},
  };
  for (const Case& c : cases) EXPECT_EQ(text_panels(c.text), c.panels) << c.text;
}

}  // namespace
}  // namespace scengen
