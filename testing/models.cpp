#include "testing/models.h"

namespace scengen::testing {

void start_plan(TrackPlan& plan, int32_t last_point) {
  plan.create(last_point);
  plan.set_integer(0, 0, 0);
  plan.set_integer(0, 1, 0);
  plan.set_integer(1, 0, 0);
  plan.set_integer(1, 1, 1);
}

Compilation with_track(std::size_t cells, const TrackCell& every) {
  Compilation c;
  c.TrackCells.assign(cells, every);
  return c;
}

void walk_plan(TrackPlan& plan, int32_t& cursor, int32_t to, double k) {
  for (; cursor <= to; ++cursor) {
    const double dx = plan.value(cursor - 1, 0) - plan.value(cursor - 2, 0);
    const double dy = plan.value(cursor - 1, 1) - plan.value(cursor - 2, 1);
    plan.set_double(cursor, 0, plan.value(cursor - 1, 0) + dx + k * dy);
    plan.set_double(cursor, 1, plan.value(cursor - 1, 1) + dy - k * dx);
  }
}

Compilation hand_made_model() {
  Compilation c;
  c.RouteId = "Prova_Linea";
  c.TrainNumber = "123";
  c.ExtendedLength = 17000;
  c.TrackCells.assign(341, TrackCell{});
  for (size_t i = 0; i < c.TrackCells.size(); ++i) {
    TrackCell& cell = c.TrackCells[i];
    const int32_t at = static_cast<int32_t>(i) * 50;
    cell.Gradient = at >= 2000 && at < 3000 ? 105 : at >= 6000 && at < 8000 ? 97 : 100;
    cell.SpeedLimit = at < 1000 ? 6 : 20;
    cell.Adhesion = at >= 4000 && at < 4500 ? 70 : 96;
    if (at >= 4000 && at < 4600) cell.Tunnel = 2;
  }
  auto& cells = c.TrackCells;
  cells[36].Kind = kSignal;
  cells[36].Param1 = 43;
  cells[40].Kind = kCodePoint;
  cells[40].Param1 = 270;
  cells[60].Kind = kCodePointWithoutCode;
  cells[121].Kind = kSlowOrderStart;
  cells[121].Param1 = 40;
  cells[129].Kind = kSlowOrderEnd;
  cells[129].Param1 = 40;
  cells[97].Kind = kWarningBoard;
  cells[97].Param1 = 40;
  for (int m = 0; m < 4; ++m) {
    cells[static_cast<size_t>(96 - m)].Kind = kApproachBoard;
    cells[static_cast<size_t>(96 - m)].Param1 = static_cast<int16_t>(m + 1);
  }
  cells[15].Kind = kSpeedBoard;
  cells[15].Param1 = cells[15].Param2 = cells[15].Param3 = 606;
  cells[26].Kind = kSpeedBoard;
  cells[26].Param1 = 2828;
  cells[26].Param2 = 3232;
  cells[26].Param3 = 3836;
  cells[26].Param4 = 21;
  cells[35].Kind = kInformationBoard;
  cells[35].Param1 = 80;
  cells[84].Kind = kTunnelMarker;
  cells[88].Kind = kTunnelMarker;
  cells[11].Kind = kStationMarker;
  cells[11].Param1 = 1;

  auto& table = c.ScenarioTable;
  table[80].Text = "(P.B.A.)(P. 253)";
  table[1] = {8, -300, 300, 0, 1, "ORIGINE", 0, 0, 0, 0, 0, 0, 0, 0, 0, 30000};
  table[2] = {28, 2850, 3150, 3000, 0, "Fermata \xE8", 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  table[3] = {2, 9150, 9850, 9500, 1, "ARRIVO", 0, 0, 0, 0, 0, 0, 0, 0, 0, 9 * 3600 + 33 * 60};
  table[81].Num1 = 1000;
  table[81].Num2 = 218400;
  table[81].Num3 = 1;
  table[84].Num2 = 10000;
  table[85].Text = c.RouteId;
  table[86].Num1 = 2000;
  table[86].Num2 = 10000;
  table[86].Num3 = 9;
  table[86].Text = c.TrainNumber;

  c.TunnelCount = 1;
  c.TunnelStart[1] = 4000;
  c.TunnelEnd[1] = 4600;

  c.CompileFlag = 1;
  start_plan(c.TrackPlan, c.ExtendedLength);
  int32_t cursor = 2;
  walk_plan(c.TrackPlan, cursor, 1000, 0);
  walk_plan(c.TrackPlan, cursor, 1300, 0.003);
  walk_plan(c.TrackPlan, cursor, 5000, 0);
  walk_plan(c.TrackPlan, cursor, 6000, -0.0004);
  walk_plan(c.TrackPlan, cursor, c.ExtendedLength - 2, 0);
  return c;
}

}  // namespace scengen::testing
